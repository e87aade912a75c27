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
