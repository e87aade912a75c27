# One entry point for set-up, building and checking. Every target installs what is missing first.
.PHONY: all deps build demo test test-release test-sanitize test-tsan test-swift bindings bindings-swift \
  bindings-java bench fuzz docs format clean

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

all: build

deps:
	@./scripts/install-deps.sh

build/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset default >/dev/null

build: deps build/build.ninja
	@cmake --build --preset default -j $(JOBS)

# The Java binding, its example program and the launcher build/bin/pavenda-validate-java.
bindings-java: deps build/build.ninja
	@cmake --build --preset default -j $(JOBS) --target pavenda_jni pavenda_java pavenda_validate_java
	@test -x build/bin/pavenda-validate-java || { echo "no launcher: is a JDK installed?" >&2; exit 1; }
	@echo "build/bin/pavenda-validate-java"

demo: build
	@./scripts/demo.sh

# The release suite, the suite again under AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer, the concurrency tests under ThreadSanitizer, and the bindings' suites.
test: test-release test-sanitize test-tsan test-swift

test-release: build
	@ctest --preset default -j $(JOBS) --output-on-failure

build/debug/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset debug >/dev/null

test-sanitize: deps build/debug/build.ninja
	@cmake --build --preset debug -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --preset debug -j $(JOBS) --output-on-failure

build/tsan/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset tsan >/dev/null

test-tsan: deps build/tsan/build.ninja
	@cmake --build --preset tsan -j $(JOBS)
	@TSAN_OPTIONS=halt_on_error=1 ctest --preset tsan -j $(JOBS) --output-on-failure

# The bindings and their example programs, each with a launcher in build/bin.
bindings: bindings-swift bindings-java

# SwiftPM builds the package in debug: the C++ library compiles faster than in release, which
# outweighs the slower run of the Swift suite.
SWIFT_FLAGS := --scratch-path build/swift --jobs 2

bindings-swift:
	@command -v swift >/dev/null || { echo "bindings-swift: no swift on PATH" >&2; exit 1; }
	@swift build $(SWIFT_FLAGS) --product pavenda-validate-swift
	@mkdir -p build/bin
	@ln -sfn ../swift/debug/pavenda-validate-swift build/bin/pavenda-validate-swift

# The Swift suite, then the Swift example against the command-line tool on the mixed payloads; skipped
# without a Swift toolchain.
test-swift: build
	@if command -v swift >/dev/null; then \
	  swift test $(SWIFT_FLAGS) && $(MAKE) --no-print-directory bindings-swift && \
	  tests/bindings/compare-with-cli.sh build/bin/pavenda-validate-swift build/bin/pavenda \
	    tests/data/mixed-payloads.txt; \
	else \
	  echo "test-swift: no swift on PATH, skipped"; \
	fi

# Google Benchmark figures as medians of five runs; bench/cli-validate.sh times the CLI.
BENCH_FLAGS ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
bench: build
	@./build/bin/pavenda-bench $(BENCH_FLAGS)
	@./build/bin/pavenda-bench-json $(BENCH_FLAGS)

# Each libFuzzer target for FUZZ_SECONDS, from its seeds in fuzz/corpus/<target> (read only) and
# what earlier runs found in build/fuzz/work/<target>. Crashes land in build/fuzz/artifacts/<target>;
# once mended, keep the crash file in fuzz/corpus/<target> so that the test suite replays it.
FUZZ_TARGETS := decode explain generate json roundtrip
# The JSON boundary takes inputs up to 1 MiB with a short timeout, so that any step worse than
# linear in the input shows up as a timeout.
FUZZ_JSON_FLAGS := -max_len=1048576 -timeout=5

build/fuzz/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@./scripts/install-deps.sh fuzz
	@cmake --preset fuzz >/dev/null

fuzz: deps build/fuzz/build.ninja
	@./scripts/install-deps.sh fuzz
	@cmake --build --preset fuzz -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/work/$$t build/fuzz/artifacts/$$t; \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	  flags=; [ $$t = json ] && flags="$(FUZZ_JSON_FLAGS)"; \
	  ./build/fuzz/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$flags \
	    -artifact_prefix=build/fuzz/artifacts/$$t/ build/fuzz/work/$$t fuzz/corpus/$$t \
	    2>build/fuzz/$$t.log || { tail -n 40 build/fuzz/$$t.log; exit 1; }; \
	  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' build/fuzz/$$t.log; \
	done

# The HTML reference of the public headers in build/docs/html; needs doxygen (optional).
docs:
	@command -v doxygen >/dev/null || { echo "doxygen is not installed: apt-get install doxygen" >&2; exit 1; }
	@mkdir -p build
	@{ cat docs/Doxyfile; echo "PROJECT_NUMBER = $$(sed -n 's/^project(pavenda VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"; } \
	  | doxygen -
	@echo "build/docs/html/index.html"

format:
	@find include src tools tests bench fuzz examples -name '*.h' -o -name '*.cpp' -o -name '*.c' \
	  | xargs clang-format -i

clean:
	@rm -rf build
