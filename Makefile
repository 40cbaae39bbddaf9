# Entry point of the build. `make run` and `make test` install what is
# missing, build, and run; see README.md.
SHELL := /bin/bash
NATIVE := build/native
WIN := build/win32
FUZZ := build/fuzz
BENCH := build/bench
CMAKE_GEN := -G Ninja

.PHONY: all deps native win32 disc iso run test test-native test-win32 fuzz bench clean

all: disc

deps:
	@scripts/deps.sh

native: deps
	@cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKVL_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE)

win32: native
	@cmake -S . -B $(WIN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	    -DKVL_HOST_TOOLS=$(CURDIR)/$(NATIVE)/bin >/dev/null
	@cmake --build $(WIN)

disc: win32
	@scripts/make-disc.sh

iso: disc
	@scripts/make-iso.sh

run: disc
	@scripts/run.sh

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j2

fuzz: deps
	@cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVL_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ)
	@scripts/run-fuzzers.sh $(FUZZ)/bin

test-win32: disc
	scripts/with-display.sh scripts/win32-tests.sh

test: iso
	cd $(NATIVE) && ctest --output-on-failure -j2
	scripts/check-iso.sh
	$(MAKE) --no-print-directory fuzz
	scripts/with-display.sh scripts/win32-tests.sh

bench: win32
	@cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKVL_BENCH=ON >/dev/null
	@cmake --build $(BENCH)
	@scripts/run-bench.sh $(BENCH)/bin

clean:
	rm -rf build out
