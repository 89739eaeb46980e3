# Commands of the project: `make run`, `make test`, `make bench`, `make fuzz`.
# Each installs the Debian packages it needs first (see debian-packages.txt).

SHELL := /bin/bash

JOBS      ?= $(shell nproc)
PACKAGES  := $(shell sed -e 's/\#.*//' debian-packages.txt)
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CMAKE_GEN := -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
FUZZ_SECONDS ?= 60
# Inputs each fuzz target runs as part of `make test`, from a fixed seed per
# target (FUZZ_SEED=N to use N, FUZZ_TARGETS="fuzz_a ..." to pick targets).
TEST_FUZZ_RUNS ?= 40000

.PHONY: all deps release asan run test bench fuzz fuzz-build fuzz-smoke format clean

all: release

# Installs only what is missing, so a machine that has everything never calls apt-get.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

build/release/build.ninja: CMakeLists.txt | deps
	cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release

build/asan/build.ninja: CMakeLists.txt | deps
	cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=ON

build/fuzz/build.ninja: CMakeLists.txt | deps
	cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZQ_FUZZ=ON

release: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)

asan: deps build/asan/build.ninja
	cmake --build build/asan -j $(JOBS)

run: release
	./build/release/corvane $(ARGS)

# Every benchmark program of the release build, one after the other.
bench: release
	@set -e; for b in build/release/bench/bench_*; do echo "== $$b"; "$$b"; done

test: asan fuzz-build
	cd build/asan && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz-smoke

# Replays each target's seeds (written at build time) and committed corpus
# (fuzz/corpus/<target>, every input that ever found a fault) and fuzzes on
# for TEST_FUZZ_RUNS inputs from the seed it prints; any finding fails, and
# the same seed repeats the run.
fuzz-smoke:
	@tools/fuzz_run.sh smoke $(TEST_FUZZ_RUNS) $(JOBS)

fuzz-build: deps build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS)

# `make fuzz FUZZ_SECONDS=300` fuzzes each target for five minutes from a
# random seed; new inputs collect in build/fuzz/work, the committed corpus is
# read only.
fuzz: fuzz-build
	@tools/fuzz_run.sh long $(FUZZ_SECONDS) $(JOBS)

format:
	@find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
