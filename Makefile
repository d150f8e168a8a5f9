# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
#   make run    install what is missing, build, and start Pelorin in samples/
#   make test   install what is missing, build with warnings as errors, run every test
#   make bench  install what is missing, build, and measure picture changes (about 15 minutes)

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test bench samples screenshots clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-pelorin $(BUILD)/Pelorin

test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	/usr/bin/python3 bench/run-bench $(BUILD)

samples: deps
	scripts/make-samples samples

screenshots: build
	scripts/take-screenshots $(BUILD)/Pelorin docs

clean:
	rm -rf $(BUILD)
