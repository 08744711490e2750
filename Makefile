# Dorvane: the one entry point.
#   make test    build everything and run every test (native, ASan/UBSan, Wine, the packages)
#   make dist    stripped Release builds, packed into dist/: portable zips and MSIs
#   make fuzz    fuzz the settings reader for FUZZ_SECONDS (default 60)
#   make bench   build and run the benchmarks (native Release, then start-up and the icon picker under Wine)
#   make run     start Dorvane under Wine
#   make clean   remove build/
# Each target installs the Debian packages it needs when run as root, or
# prints the apt-get command to run.

SHELL := /bin/bash
.SHELLFLAGS := -eo pipefail -c
# The steps share build trees and one Wine prefix: keep them in order even
# under make -j (ninja and ctest run in parallel inside each step).
.NOTPARALLEL:

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# starts of each program in make bench-startup
STARTUP_RUNS ?= 15
# libFuzzer's dictionary of the notation's words, when there is one.
FUZZ_DICT := $(if $(wildcard fuzz/settings.dict),-dict=fuzz/settings.dict)

TEST_PACKAGES := cmake ninja-build g++ clang libgtest-dev googletest \
  libbenchmark-dev rapidjson-dev g++-mingw-w64-x86-64 g++-mingw-w64-i686 \
  wine wine64 xvfb xauth imagemagick x11-utils zip unzip msitools wixl
# Wine's 32-bit part, for the 32-bit program, only where the kernel runs
# 32-bit programs: elsewhere it would only stand in the 64-bit loader's way.
WINE32_PACKAGE = $(shell scripts/runs-32bit.sh && echo wine32:i386)
WINE32_SKIPPED := SKIPPED: this kernel cannot run 32-bit programs: the 32-bit end-to-end tests and the win32 package checks
DIST_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686 zip msitools wixl
FUZZ_PACKAGES := cmake ninja-build clang libclang-rt-dev llvm
RUN_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64 wine wine64 xvfb xauth imagemagick x11-utils
BENCH_PACKAGES := cmake ninja-build g++ libbenchmark-dev rapidjson-dev \
  g++-mingw-w64-x86-64 googletest wine wine64 xvfb xauth

# configure (cheap when nothing changed) and build one preset, timed
define build_preset
	@echo "== build $(1)"
	@SECONDS=0; set -x; cmake --preset $(1) --log-level=WARNING; \
	  cmake --build --preset $(1) -j $(JOBS); \
	  { set +x; } 2>/dev/null; echo "== build $(1): $${SECONDS} s"
endef

# one timed test step: $(call timed,NAME,COMMAND)
define timed
	@echo "== $(1)"
	@SECONDS=0; set -x; $(2); { set +x; } 2>/dev/null; echo "== $(1): $${SECONDS} s"
endef

.PHONY: test setup build build-native build-native-asan build-mingw-x64 \
  build-mingw-x86 build-release-x64 build-release-x86 test-native test-native-asan test-win32 \
  dist setup-dist test-dist fuzz bench bench-startup bench-picker run clean

test: setup build test-native test-native-asan test-win32 test-dist
	@echo "== all tests passed"
	@scripts/runs-32bit.sh || echo "== $(WINE32_SKIPPED)"

setup:
	@scripts/ensure-packages.sh $(TEST_PACKAGES) $(WINE32_PACKAGE)

build: build-native build-native-asan build-mingw-x64 build-mingw-x86

build-native:
	$(call build_preset,native)

build-native-asan:
	$(call build_preset,native-asan)

build-mingw-x64:
	$(call build_preset,mingw-x64)

build-mingw-x86:
	$(call build_preset,mingw-x86)

build-release-x64:
	$(call build_preset,release-x64)

build-release-x86:
	$(call build_preset,release-x86)

test-native:
	$(call timed,test native,ctest --test-dir build/native --output-on-failure --no-tests=error -j $(JOBS))

test-native-asan:
	$(call timed,test native-asan,ctest --test-dir build/native-asan --output-on-failure --no-tests=error -j $(JOBS))

# The 32-bit build runs the program's end-to-end tests under Wine's 32-bit
# part (its own prefix); the rest of its tests would repeat the 64-bit ones.
test-win32:
	$(call timed,test mingw-x64 under Wine,scripts/wine-tests.sh build/mingw-x64)
	$(call timed,test mingw-x86 under Wine,scripts/wine-tests.sh build/mingw-x86 -- -R '^(dll_imports|win32_exe_tests)$$')

# The packages are made from Release builds of their own (what ships is
# built for size, without assert), once; the checks drive them with the
# test programs of the builds above.
dist: setup-dist build-release-x64 build-release-x86
	$(call timed,pack dist/,scripts/make-dist.sh)

setup-dist:
	@scripts/ensure-packages.sh $(DIST_PACKAGES)

test-dist: dist
	$(call timed,test the packages under Wine,scripts/dist-tests.sh)

fuzz:
	@scripts/ensure-packages.sh $(FUZZ_PACKAGES)
	$(call build_preset,fuzz)
	@# Work on a copy: the seed corpus in fuzz/corpus stays small and reviewed.
	mkdir -p build/fuzz/corpus
	cp -rn fuzz/corpus/. build/fuzz/corpus/
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  build/fuzz/settings_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	  -print_final_stats=1 -max_len=65536 $(FUZZ_DICT) -artifact_prefix=build/fuzz/ build/fuzz/corpus

bench:
	@scripts/ensure-packages.sh $(BENCH_PACKAGES)
	$(call build_preset,bench)
	build/bench/settings_bench $(BENCH_ARGS)
	@$(MAKE) --no-print-directory bench-startup
	@$(MAKE) --no-print-directory bench-picker

# Dorvane's start-up under Wine next to a program that shows one empty window.
bench-startup:
	@scripts/ensure-packages.sh $(BENCH_PACKAGES)
	$(call build_preset,mingw-x64)
	scripts/startup-bench.sh $(STARTUP_RUNS)

# The icon picker's first screen and full Load of a 320-icon library and its
# cursor mode under Wine, next to the bare extraction of the same icons.
bench-picker:
	@scripts/ensure-packages.sh $(BENCH_PACKAGES)
	$(call build_preset,mingw-x64)
	scripts/picker-bench.sh

run:
	@scripts/ensure-packages.sh $(RUN_PACKAGES)
	$(call build_preset,mingw-x64)
	scripts/run.sh

clean:
	rm -rf build dist
