# Front door: `make run` builds and starts the program on its bundled default
# scripts (on the X11 display when DISPLAY names one, until its window is
# closed; headless, when PLUMET_HEADLESS=1 or without a display, it prints a
# line and ends); `make test` builds everything with the sanitizers and runs every test;
# `make bench` times the interpreter against Ghostscript on bench/ (Release build).
# `make test` also builds the fuzz targets of tests/fuzz with clang (in
# build-fuzz) and runs each briefly over its seeds; `make fuzz` runs them
# for FUZZ_SECONDS each and keeps what they find in build-fuzz/findings/.

BUILD      ?= build
BENCH_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake ninja-build g++ libgtest-dev libgmock-dev libpng-dev clang libclang-rt-dev \
              libx11-dev libxext-dev libxtst-dev xvfb x11-utils \
              libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run clean bench fuzz-build fuzz-short fuzz

all: build

# Install the Debian packages the build needs, only those that are missing.
# $(call install_missing,PACKAGES): installs those of the Debian packages
# that are missing.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLUMET_SANITIZE=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz-short

# The fuzz build: clang with libFuzzer, only the fuzz targets and what they
# link. Without clang the fuzz steps are skipped with a note.
HAVE_CLANG := $(shell command -v clang++ >/dev/null 2>&1 && echo yes)

fuzz-build:
ifeq ($(HAVE_CLANG),yes)
	@[ -f $(FUZZ_BUILD)/build.ninja ] || cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DPLUMET_FUZZ=ON -DPLUMET_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
else
	@echo "clang++ not found: the fuzz targets are not built"
endif

# Each target for a short time (tests/fuzz/CMakeLists.txt) over a copy of
# its seeds; a finding fails.
fuzz-short: fuzz-build
ifeq ($(HAVE_CLANG),yes)
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure -j $(JOBS) --timeout 600
else
	@echo "clang++ not found: the fuzz targets are skipped"
endif

# Each target for FUZZ_SECONDS, keeping the inputs found between runs
# (build-fuzz/fuzz-work/) and the findings (build-fuzz/findings/).
fuzz: deps fuzz-build
ifeq ($(HAVE_CLANG),yes)
	cd $(FUZZ_BUILD) && PLUMET_FUZZ_SECONDS=$(FUZZ_SECONDS) PLUMET_FUZZ_KEEP_CORPUS=1 \
	  ctest -L fuzz --output-on-failure -j $(JOBS) --timeout 0
else
	@echo "clang++ not found: install clang and libclang-rt-dev (make deps) to fuzz"
endif

run: build
	$(BUILD)/bin/plumet

# Optimised build without sanitizers in its own folder, Ghostscript for the
# comparison, then every workload of bench/: the interpreter's (run.sh),
# then the drawing's (draw.sh, BENCH_SIZES picks the sizes) with their Cairo
# reference, built here alone, and GNU time for the peak memory.
BENCH_PACKAGES := ghostscript libcairo2-dev pkg-config time

bench: deps
	$(call install_missing,$(BENCH_PACKAGES))
	@[ -f $(BENCH_BUILD)/build.ninja ] || cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLUMET_SANITIZE=OFF -DPLUMET_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target ferun
	g++ -std=c++20 -O2 -o $(BENCH_BUILD)/cairo_lines bench/cairo_lines.cpp $$(pkg-config --cflags --libs cairo)
	FERUN=$(BENCH_BUILD)/bin/ferun sh bench/run.sh
	FERUN=$(BENCH_BUILD)/bin/ferun CAIRO_LINES=$(BENCH_BUILD)/cairo_lines sh bench/draw.sh

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
