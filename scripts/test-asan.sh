#!/usr/bin/env bash
# Builds the libraries, the program and the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (no benchmarks) and runs the whole test suite.
# Any memory error, leak or undefined behaviour ends the test that met it with a failure.
#
#   scripts/test-asan.sh [ctest arguments, e.g. -R tst_reportreader]
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --test
./scripts/build.sh --asan
build=${ASAN_BUILD_DIR:-build-asan}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Leaks inside system libraries that the program cannot free, each listed with its reason; any
# other leak still fails. The tests pass the variable on to the programs they start.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
ctest --test-dir "$build" --output-on-failure -j2 "$@"
