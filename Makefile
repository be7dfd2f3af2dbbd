# Quorvale: `make` builds both Windows targets, `make run` starts the editor under Wine,
# `make test` builds and runs every test, `make bench` prints the benchmark figures.
.PHONY: all setup build64 build32 test run bench format clean

all: build64 build32

setup:
	@scripts/setup

build/win64/build.ninja: | setup
	cmake -G Ninja -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

build/win32/build.ninja: | setup
	cmake -G Ninja -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

build64: setup build/win64/build.ninja
	cmake --build build/win64

build32: setup build/win32/build.ninja
	cmake --build build/win32

test: all
	tests/harness/session --desktop build/win64/wineprefix-test -- \
	  ctest --test-dir build/win64 --output-on-failure $(CTEST_ARGS)

run: build64
	scripts/run

bench: all
	bench/run

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
