# make run   builds the optimised program and runs it
# make test  installs what is missing, builds, and runs every test
.PHONY: all run test setup release debug

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
