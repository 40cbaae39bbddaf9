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

.PHONY: all deps native win32 win64 disc disc64 iso run test test-native test-win32 test-win64 test-wine10 fuzz bench clean

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

# The 64-bit tree of the same sources and its copy of the disc, for the
# tests and `make run` where the machine runs 64-bit code only. Nothing of
# it ships: out/ keeps the 32-bit disc alone.
win64: native
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64

disc64: win64
	@KVL_WIN32_BIN=$(CURDIR)/build/win64/bin KVL_DISC_DIR=$(CURDIR)/build/disc64 scripts/make-disc.sh

iso: disc
	@scripts/make-iso.sh

# The 32-bit disc where Wine runs it here, else the 64-bit copy.
run: deps
	@if [ "$$(scripts/machine.sh tree)" = win32 ]; then $(MAKE) --no-print-directory disc; \
	 else $(MAKE) --no-print-directory disc64; fi
	@scripts/run.sh

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j2

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzzers.sh build/fuzz/bin

# One tree's Win32 tests under this machine's Wine; the 32-bit ones in the
# emulated machine where this machine cannot run them.
test-win32: disc
	scripts/windows-tests.sh win32

test-win64: disc64
	scripts/windows-tests.sh win64

# Every Win32 test of both trees under Debian 13's Wine 10 (scripts/guest.sh
# builds its machines once, then keeps them).
test-wine10: disc disc64
	scripts/windows-tests.sh --here none --wine10 all

test: iso disc64
	cd $(NATIVE) && ctest --output-on-failure -j2
	scripts/check-iso.sh
	scripts/check-reproducible.sh
	scripts/check-windows-tools.sh
	$(MAKE) --no-print-directory fuzz
	scripts/windows-tests.sh --wine10 e2e --wine10-emulated no

bench: deps
	@tree=$$(scripts/machine.sh tree) && $(MAKE) --no-print-directory $$tree && \
	 cmake --preset bench >/dev/null && cmake --build --preset bench && \
	 KVL_WINE_ARCH=$$tree scripts/run-bench.sh build/bench/bin

clean:
	rm -rf build out
