# Commands of the project: `make run`, `make test`, `make bench`, `make fuzz`.
# Each installs the Debian packages it needs first (see debian-packages.txt).

JOBS      ?= $(shell nproc)
PACKAGES  := $(shell sed -e 's/\#.*//' debian-packages.txt)
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CMAKE_GEN := -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
FUZZ_SECONDS ?= 30

.PHONY: all deps release asan run test bench fuzz format clean

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

test: asan
	cd build/asan && ctest --output-on-failure -j $(JOBS)

bench: release
	@set -e; for b in build/release/bench/bench_*; do echo "== $$b"; "$$b"; done

fuzz: deps build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS)
	@set -e; found=0; for f in build/fuzz/fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; found=1; echo "== $$f ($(FUZZ_SECONDS) s)"; \
	  mkdir -p build/fuzz/corpus/$$(basename $$f); \
	  "$$f" -max_total_time=$(FUZZ_SECONDS) build/fuzz/corpus/$$(basename $$f); \
	done; [ $$found = 1 ] || echo "no fuzz targets"

format:
	@find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
