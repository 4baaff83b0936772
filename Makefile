# make run   builds the optimised program and runs it
# make test  installs what is missing, builds, and runs every test, the
#            Windows program's under wine too, then the memory check, each
#            fuzzer for 20 seconds, and the lint
# make win32 cross-builds the 32-bit Windows program and runs its tests under
#            wine (the first run makes the wine prefix, build/win32/wineprefix)
# make fuzz  runs each fuzzer for FUZZ_SECONDS (60 by default)
# make lint  runs clang-tidy and cppcheck over the sources
# make bench builds the optimised program, times it side by side with the
#            yardstick, then runs the microbenchmarks
# make package builds the Debian package of the optimised Linux build and a
#            .zip of each Windows build, in build/packages
.PHONY: all run test setup release debug fuzz fuzzers lint memcheck win32 package

FUZZ_SECONDS ?= 60
FUZZERS := read_list join

all: release

setup:
	@scripts/setup.sh

release: setup
	cmake --preset release >/dev/null
	cmake --build --preset release

debug: setup
	cmake --preset debug >/dev/null
	cmake --build --preset debug

run: release
	./build/release/erilaisetrivit

test: debug
	ctest --preset debug
	$(MAKE) --no-print-directory win32
	$(MAKE) --no-print-directory memcheck
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=20
	$(MAKE) --no-print-directory lint

win32: setup
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	ctest --preset win32

# A whole run of the optimised program under valgrind, with and without
# arguments.
memcheck: release
	scripts/memcheck.sh build/release/erilaisetrivit

fuzzers: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz --target $(FUZZERS:%=%_fuzzer)

fuzz: fuzzers
	for f in $(FUZZERS); do fuzz/run.sh build/fuzz $$f $(FUZZ_SECONDS) || exit 1; done

# Over the sources of the debug build, then the fuzzers'.
lint: debug fuzzers
	scripts/lint.sh build/debug build/fuzz

.PHONY: bench
bench: release
	bench/compare.sh build/release/erilaisetrivit build/release/bench/yardstick
	build/release/bench/search_bench
	build/release/bench/check_bench

WINDOWS_PRESETS ?= win32 win64

package: release
	for p in $(WINDOWS_PRESETS); do cmake --preset $$p >/dev/null && cmake --build --preset $$p || exit 1; done
	for p in release $(WINDOWS_PRESETS); do (cd build/$$p && cpack -B ../packages) || exit 1; done
	rm -rf build/packages/_CPack_Packages
