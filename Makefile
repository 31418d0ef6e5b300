# SPDX-License-Identifier: GPL-3.0-or-later
# Quick start: `make run` starts Tidra, `make test` runs every test.
BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
# Paths inside the tree are hashed relative to it, so a second clone or a
# worktree reuses the compiler cache.
export CCACHE_BASEDIR ?= $(CURDIR)

.PHONY: deps configure build run test unit widget e2e bench fuzz package demo asan mutants clean format

deps:
	@bash scripts/install-deps.sh

configure: deps
	@test -f $(BUILD)/build.ninja || cmake --preset default -B $(BUILD)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/tidra

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

unit widget e2e bench: build
	cd $(BUILD) && ctest --output-on-failure -L $@

# Fuzzes each event-file reader for FUZZ_SECONDS (`make test` runs 3 s each).
FUZZ_SECONDS ?= 300
fuzz: configure
	TIDRA_SOURCE_DIR=$(CURDIR) TIDRA_BUILD_DIR=$(CURDIR)/$(BUILD) bash tests/fuzz/smoke.sh $(FUZZ_SECONDS)

package: build
	cmake --build $(BUILD) --target package

# Screenshots of a sample day on a private X server: `make demo DEMO_OUT=dir`.
DEMO_OUT ?= docs/screenshots
demo: build
	TIDRA_BIN=$(CURDIR)/$(BUILD)/tidra bash scripts/demo.sh $(DEMO_OUT)

# Unit and widget tests under AddressSanitizer and UBSan: any report fails.
asan: deps
	@test -f build-asan/build.ninja || cmake --preset asan -B build-asan -DTIDRA_BUILD_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L 'unit|widget'

# Deliberate one-line faults the unit and widget tests must catch (not part of
# `make test`): `make mutants`, or `make mutants FILTER=timers` for some.
FILTER ?= .
mutants: deps
	bash scripts/mutants.sh '$(FILTER)'

clean:
	rm -rf $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
