# One entry point for set-up, building and checking. Every target installs what is missing first.
.PHONY: all deps build demo test test-release test-sanitize test-tsan bench fuzz docs format clean

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

all: build

deps:
	@./scripts/install-deps.sh

build/build.ninja: CMakeLists.txt CMakePresets.json | deps
	@cmake --preset default >/dev/null

build: deps build/build.ninja
	@cmake --build --preset default -j $(JOBS)

demo: build
	@./scripts/demo.sh

test: test-release

test-release: build
	@ctest --preset default -j $(JOBS)

bench: build
	@./build/bin/pavenda-bench

format:
	@find include src tools tests bench fuzz examples -name '*.h' -o -name '*.cpp' -o -name '*.c' \
	  | xargs clang-format -i

clean:
	@rm -rf build
