# Front door: `make run` builds and starts the program on its bundled default
# scripts; `make test` builds everything with the sanitizers and runs every test;
# `make bench` times the interpreter against Ghostscript on bench/ (Release build).

BUILD      ?= build
BENCH_BUILD ?= build-release
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake ninja-build g++ libgtest-dev libgmock-dev libpng-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run clean bench

all: build

# Install the Debian packages the build needs, only those that are missing.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLUMET_SANITIZE=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

run: build
	$(BUILD)/bin/plumet

# Optimised build without sanitizers in its own folder, Ghostscript for the
# comparison, then every workload of bench/.
bench: deps
	@dpkg-query -W -f='$${Status}' ghostscript 2>/dev/null | grep -q "install ok installed" || { \
	  echo "installing: ghostscript"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq ghostscript; \
	}
	@[ -f $(BENCH_BUILD)/build.ninja ] || cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLUMET_SANITIZE=OFF -DPLUMET_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target ferun
	FERUN=$(BENCH_BUILD)/bin/ferun sh bench/run.sh

clean:
	rm -rf $(BUILD)
