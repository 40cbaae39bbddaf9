# Entry point of the build. `make run` and `make test` install what is
# missing, build, and run; see README.md. Each tree is a CMake preset
# (CMakePresets.json; `cmake --list-presets` lists them).
SHELL := /bin/bash
NATIVE := build/native

# In MSYS2's MINGW32 shell on Windows, one tree (preset msys2) builds the
# host tools and the disc's programs with the same compiler.
ifneq ($(filter MINGW%,$(shell uname -s)),)
WINDOWS_HOST := 1
endif

.PHONY: all deps native win32 disc iso run test test-native test-win32 fuzz bench clean

all: disc

deps:
	@scripts/deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

ifdef WINDOWS_HOST
win32: deps
	@cmake --preset msys2 >/dev/null
	@cmake --build --preset msys2

disc: win32
	@KVL_WIN32_BIN=$(CURDIR)/build/msys2/bin KVL_TOOLS_BIN=$(CURDIR)/build/msys2/bin scripts/make-disc.sh
else
win32: native
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

disc: win32
	@scripts/make-disc.sh
endif

iso: disc
	@scripts/make-iso.sh

run: disc
	@scripts/run.sh

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j2

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzzers.sh build/fuzz/bin

test-win32: disc
	scripts/with-display.sh scripts/win32-tests.sh

test: iso
	cd $(NATIVE) && ctest --output-on-failure -j2
	scripts/check-iso.sh
	scripts/check-reproducible.sh
	scripts/check-windows-tools.sh
	$(MAKE) --no-print-directory fuzz
	scripts/with-display.sh scripts/win32-tests.sh

bench: win32
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	@scripts/run-bench.sh build/bench/bin

clean:
	rm -rf build out
