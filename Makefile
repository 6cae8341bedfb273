# Thin front of the CMake presets. `make run` and `make test` work on a fresh machine:
# both install the stack first (scripts/setup is quick when everything is present).
JOBS ?= $(shell nproc)

.PHONY: setup build run test unit fuzz-smoke asan tsan bench format clean

setup:
	scripts/setup

build: setup
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

# Starts what the build has: for now the headless front end's overview of the settings
# and the format catalogue.
run: build
	build/default/bin/korvex-convert --info

test: unit fuzz-smoke

unit: build
	ctest --preset default

fuzz-smoke: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz

asan: setup
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

tsan: setup
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan

bench: build
	@for b in build/default/bin/bench_*; do echo "== $$b"; $$b; done

format:
	find src tools tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
