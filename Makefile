# make run   builds the optimised program and runs it; installs no more than
#            that needs (a compiler, CMake, Ninja)
# make test  installs what the tests need, builds, and runs every test: the
#            native suites under the sanitizers, both Windows programs'
#            under wine, the memory check, each fuzzer for 20 seconds, and
#            the lint. The 32-bit Windows suites run where the machine runs
#            32-bit programs and are skipped, with the reason, where it does
#            not; WIN32_RUN=no skips them anywhere.
# make win32, make win64
#            cross-build one Windows program and run its tests under wine
#            (the first run makes the wine prefix, build/win*/wineprefix)
# make fuzz  runs each fuzzer for FUZZ_SECONDS (60 by default)
# make lint  runs clang-tidy and cppcheck over the sources
# make bench builds the optimised program with the benchmarks (build/bench),
#            runs the microbenchmarks, the odds over
#            every draw, the tier odds of real games, the row optimiser's strength cases
#            (ROWS_BENCH_SECONDS each, 60 by default), the wheel search's
#            (WHEEL_BENCH_SECONDS each, 60 by default), then times the program on each overlap
#            path its CPU runs side by side with the yardstick, and the page
#            beside the command (bench/page_bench.mjs)
# make package builds the Debian package of the optimised Linux build and a
#            .zip of each Windows build, in build/packages, each with the page
# make page  builds the companion's library in WebAssembly (build/wasm) and
#            the page that runs it into build/page, a folder that opens from
#            disk or from any static host
# make wasm  builds the web build and runs its unit suites under Node
# make page-test
#            the page's browser tests: headless chromium against build/page
#            and the debug build's command
# Each target installs what it needs first (scripts/setup.sh).
.PHONY: all run test release debug win32 win64 windows-suites fuzz fuzzers lint memcheck bench package wasm page page-test

FUZZ_SECONDS ?= 60
WIN32_RUN ?= auto
WIN64_RUN ?= auto
FUZZERS := read_list join read_rows read_lines

all: release

# The program alone: the tests and benchmarks, and their libraries, are left
# out.
release:
	@scripts/setup.sh build
	cmake --preset release >/dev/null
	cmake --build --preset release

run: release
	./build/release/erilaisetrivit

debug:
	@scripts/setup.sh build tests
	cmake --preset debug >/dev/null
	cmake --build --preset debug

test:
	@scripts/setup.sh build tests win32 win64 fuzz memcheck lint page pagetest
	$(MAKE) --no-print-directory debug
	ctest --preset debug
	$(MAKE) --no-print-directory wasm page page-test
	$(MAKE) --no-print-directory win32 win64
	$(MAKE) --no-print-directory memcheck
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=20
	$(MAKE) --no-print-directory lint
	@$(MAKE) --no-print-directory windows-suites

win32 win64:
	@scripts/setup.sh $@
	cmake --preset $@ -DERILAISETRIVIT_WINE_RUN=$(if $(filter win32,$@),$(WIN32_RUN),$(WIN64_RUN)) >/dev/null
	cmake --build --preset $@
	ctest --preset $@
	@if [ -f build/$@/wine-skipped.txt ]; then cat build/$@/wine-skipped.txt; fi

# One line for each Windows build: its suites ran, or why they were skipped.
windows-suites:
	@for build in win32 win64; do \
	  if [ -f build/$$build/wine-skipped.txt ]; then echo "$$build: $$(cat build/$$build/wine-skipped.txt)"; \
	  elif [ -f build/$$build/CTestTestfile.cmake ]; then echo "$$build: the Windows suites ran under wine"; fi; \
	done

wasm:
	@scripts/setup.sh page
	cmake --preset wasm >/dev/null
	cmake --build --preset wasm
	ctest --preset wasm

# The page's folder is made afresh, so that it holds nothing a former build
# left.
page:
	@scripts/setup.sh page
	cmake --preset wasm >/dev/null
	cmake --build --preset wasm --target page
	rm -rf build/page
	cp -R build/wasm/page/site build/page

# Against the page as built and the command of the debug build.
page-test: page debug
	@scripts/setup.sh pagetest
	RIVIT_BUILD=build/debug node --test tests/page_test.mjs

# A whole run of the optimised program under valgrind, with and without
# arguments.
memcheck: release
	@scripts/setup.sh memcheck
	scripts/memcheck.sh build/release/erilaisetrivit

fuzzers:
	@scripts/setup.sh fuzz
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz --target $(FUZZERS:%=%_fuzzer)

fuzz: fuzzers
	for f in $(FUZZERS); do fuzz/run.sh build/fuzz $$f $(FUZZ_SECONDS) || exit 1; done

# Over the sources of the debug build, then the fuzzers'.
lint: debug fuzzers
	@scripts/setup.sh lint
	scripts/lint.sh build/debug build/fuzz

# The optimised build with the benchmarks, in build/bench of its own.
bench:
	@scripts/setup.sh build tests
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	build/bench/bench/search_bench
	build/bench/bench/check_bench
	build/bench/bench/odds_bench
	build/bench/bench/tier_odds_bench
	build/bench/bench/rows_bench
	build/bench/bench/wheel_bench
	bench/compare.sh build/bench/erilaisetrivit build/bench/bench/erilaisetrivit_forced build/bench/bench/yardstick
	$(MAKE) --no-print-directory page
	@scripts/setup.sh pagetest
	node bench/page_bench.mjs build/bench/cli/erilaisetrivit-rivit

WINDOWS_PRESETS ?= win32 win64

# help2man before the release build is configured, which looks for it.
package:
	@scripts/setup.sh build package page $(WINDOWS_PRESETS)
	$(MAKE) --no-print-directory page
	$(MAKE) --no-print-directory release
	for p in $(WINDOWS_PRESETS); do cmake --preset $$p >/dev/null && cmake --build --preset $$p || exit 1; done
	for p in release $(WINDOWS_PRESETS); do (cd build/$$p && cpack -B ../packages) || exit 1; done
	rm -rf build/packages/_CPack_Packages
