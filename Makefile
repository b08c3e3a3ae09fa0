# Kelvo: one command each for setting up, building, testing and benchmarking.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)

.PHONY: all setup configure build test unit fuzz bench run clean format

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

run: build
	$(BUILD)/bin/Kelvo

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
