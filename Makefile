# Kelvo: one command each for setting up, building, testing and benchmarking.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)

.PHONY: all setup configure build test unit fuzz bench run clean format dist package

all: build

setup:
	scripts/setup

configure:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The test command: installs what it needs, builds everything, runs every
# test (the sanitizer twins included), then the fuzz targets on their corpora.
test: setup
	$(MAKE) unit
	$(MAKE) fuzz

unit: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DKELVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	cd $(FUZZ_BUILD) && ctest --output-on-failure

bench: configure
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b; done

# The distribution media (archives, xDeploy, the codec and Setup.inf) in
# $(BUILD)/dist, built from only what it holds.
dist: configure
	cmake --build $(BUILD) -j $(JOBS) --target dist

# The Debian package in $(BUILD)/package (CPack builds everything first).
package: configure
	cmake --build $(BUILD) -j $(JOBS) --target package

# Sets up, builds, and starts Kelvo on a copy of the sample project; without
# a display it says so and shows the same project through kvcli instead.
SAMPLE := $(BUILD)/bin/samples/small_building.kvp
RUN_DIR := $(BUILD)/run

run: setup
	$(MAKE) build
	mkdir -p $(RUN_DIR)
	cp -f $(SAMPLE) $(RUN_DIR)/small_building.kvp
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/bin/Kelvo $(RUN_DIR)/small_building.kvp; \
	else \
	  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the headless equivalent on $(RUN_DIR)/small_building.kvp."; \
	  set -e; \
	  echo "== kvcli info"; $(BUILD)/bin/kvcli info $(RUN_DIR)/small_building.kvp; \
	  echo "== kvcli schedule"; $(BUILD)/bin/kvcli schedule $(RUN_DIR)/small_building.kvp; \
	  echo "== kvcli dump act"; $(BUILD)/bin/kvcli dump $(RUN_DIR)/small_building.kvp act; \
	fi

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
