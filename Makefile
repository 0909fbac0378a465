# Front door: `make run` builds and starts the program on its bundled default
# scripts; `make test` builds everything with the sanitizers and runs every test.

BUILD      ?= build
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake ninja-build g++ libgtest-dev libgmock-dev libpng-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run clean

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

clean:
	rm -rf $(BUILD)
