# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
#   make run           install what is missing, build, and start Pelorin in samples/
#   make test          install what is missing, build with warnings as errors, and run
#                      every test: Linux (test-linux), then Windows under Wine (test-windows)
#   make windows       cross-build build-windows/Pelorin.exe with mingw-w64
#   make run-windows   start Pelorin.exe under Wine in samples/
#   make windows-package  the Windows installer (.msi) and portable .zip
#   make bench         measure picture changes on Linux (about 15 minutes)
#   make bench-windows the same for Pelorin.exe under Wine (about 15 minutes)

BUILD ?= build
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
CLANG_BUILD ?= build-clang
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Installs under PREFIX (and DESTDIR, when staging for a package).
PREFIX ?= /usr/local

.PHONY: all deps build run test test-linux test-windows windows run-windows windows-package \
	fuzz bench bench-windows samples icon screenshots install package lint clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-pelorin $(BUILD)/Pelorin

# Third-party libraries keep a few allocations for the process's life;
# anything else the sanitizers find fails the run.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp:print_suppressions=0

test: test-linux test-windows

test-linux: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON \
		-DPELORIN_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# Each fuzzer runs for FUZZ_SECONDS from seeds of real and hostile pictures
# (scripts/make-fuzz-seeds): picture_fuzzer for an sRGB display,
# display_fuzzer (the first byte of an input chooses among its displays)
# for displays with profiles of their own, numeric_fuzzer for the number
# parser. An input that crashes, takes more than a second, asks for a
# block larger than libjpeg's whole allowance (384 MB) or brings the process
# over 512 MB (a 10-minute run grows to about 330 MB by itself, with ASan
# keeping 64 MB of freed memory rather than 256) is a finding: each target
# runs, then what they found, in $(FUZZ_BUILD)/findings/<target>-*, fails
# the run. Seeds and inputs are at most FUZZ_MAX_LEN bytes: a JPEG carrying
# a profile of the 4 MB the program reads.
FUZZ_MAX_LEN = 4456448
FUZZ_DISPLAYS = 3
# The later ASAN_OPTIONS of the two wins.
FUZZ_ENV = $(SANITIZER_ENV) ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64
FUZZ_LIMITS = -max_total_time=$(FUZZ_SECONDS) -timeout=1 -malloc_limit_mb=384 -rss_limit_mb=512 \
	-print_final_stats=1
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPELORIN_FUZZ=ON -DPELORIN_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target picture_fuzzer display_fuzzer numeric_fuzzer
	scripts/make-fuzz-seeds --max-len $(FUZZ_MAX_LEN) --displays $(FUZZ_DISPLAYS) $(FUZZ_BUILD)/seeds
	cd $(FUZZ_BUILD) && mkdir -p findings corpus-picture corpus-display corpus-numeric && found=; \
	for target in picture:$(FUZZ_MAX_LEN) display:$$(($(FUZZ_MAX_LEN) + 1)) numeric:4096; do \
		name=$${target%%:*}; \
		$(FUZZ_ENV) ./$${name}_fuzzer $(FUZZ_LIMITS) -max_len=$${target#*:} \
			-artifact_prefix=findings/$$name- corpus-$$name seeds/$$name || found="$$found $$name"; \
	done; \
	[ -z "$$found" ] || { echo "make fuzz: findings of$$found in $(FUZZ_BUILD)/findings" >&2; exit 1; }

bench: build
	/usr/bin/python3 bench/run-bench $(BUILD)

samples: deps
	scripts/make-samples samples

icon: deps
	scripts/make-icon resources

screenshots: build windows
	scripts/take-screenshots $(BUILD)/Pelorin docs
	/usr/bin/python3 tests/e2e/colour_test.py $(BUILD)/Pelorin docs
	scripts/take-screenshots-windows $(WINDOWS_BUILD)/Pelorin.exe docs

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(CLANG_BUILD) $(WINDOWS_BUILD)

# The Windows program, cross-built; its tests run under Wine in an Xvfb of
# their own (the Windows half has no sanitizer build: mingw has none).
$(WINDOWS_BUILD)/CMakeCache.txt:
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON

windows: deps $(WINDOWS_BUILD)/CMakeCache.txt
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target Pelorin

run-windows: windows
	@scripts/run-pelorin-windows $(WINDOWS_BUILD)/Pelorin.exe

# $(WINDOWS_BUILD)/Pelorin-<version>-x64.msi and .zip, from Pelorin.exe.
windows-package: windows
	scripts/windows-package $(WINDOWS_BUILD)

# The benchmark of make bench, for the Windows program under Wine.
bench-windows: windows
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target pelorin_bench
	/usr/bin/python3 bench/run-bench-windows $(WINDOWS_BUILD)

test-windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# $(BUILD)/pelorin_<version>_<arch>.deb, for apt-get install ./$(BUILD)/pelorin_*.deb,
# as lintian passes it: any error or warning of lintian's fails the target
# (the informational notes it prints do not). A package of an earlier
# version goes first, so that one package is left to install.
package: build
	rm -f $(BUILD)/pelorin_*.deb
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error,warning --display-info $(BUILD)/pelorin_*.deb

# Builds with gcc and with clang, warnings as errors, then runs clang-tidy,
# cppcheck and clang-format over the sources: anything they report fails it.
lint: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	CC=clang CXX=clang++ cmake -S . -B $(CLANG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPELORIN_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	scripts/lint $(CLANG_BUILD)
