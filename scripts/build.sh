#!/usr/bin/env bash
# Configures and builds Lumoskop: the one place where every kind of build is set up.
#
#   scripts/build.sh [kind] [-DNAME=VALUE ...] [arguments for cmake --build, e.g. --target lumoskop]
#
#   --normal (default)  build/ (or $BUILD_DIR): the program, the tests and the benchmarks
#   --asan              build-asan/ (or $ASAN_BUILD_DIR): the program and the tests with
#                       AddressSanitizer and UndefinedBehaviorSanitizer, no benchmarks
#   --fuzz              fuzz-build/fuzz/: the libFuzzer targets, built with clang
#   --fuzz-coverage     fuzz-build/coverage/: the same targets built for a coverage report
#
# The folder is configured on every run, not only the first time: a configure that failed
# (Qt not installed yet) is simply done again, and the -D options, $CMAKE_EXTRA_ARGS and
# $LUMOSKOP_WERROR (ON: warnings are errors) of a later run reach the cache. What a run does
# not give stays as the folder has it.
set -euo pipefail
cd "$(dirname "$0")/.."

kind=normal
configure_args=()
build_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --normal | --asan | --fuzz | --fuzz-coverage) kind=${1#--} ;;
    -D*) configure_args+=("$1") ;;
    --) build_args+=("$@"); break ;;
    *) build_args+=("$1") ;;
  esac
  shift
done

# -O1 keeps the checked builds and their runs short; the checks see the same faults as at -O0.
checked=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DLUMOSKOP_BUILD_BENCH=OFF)
case "$kind" in
  normal)
    dir=${BUILD_DIR:-build}
    kind_args=()
    ;;
  asan)
    dir=${ASAN_BUILD_DIR:-build-asan}
    kind_args=("${checked[@]}" -DLUMOSKOP_SANITIZE=ON -DLUMOSKOP_BUILD_TESTS=ON -DLUMOSKOP_FUZZ=OFF)
    ;;
  fuzz | fuzz-coverage)
    dir=fuzz-build/${kind#fuzz-}
    coverage=OFF
    [ "$kind" = fuzz ] || coverage=ON
    kind_args=("${checked[@]}" -DLUMOSKOP_FUZZ=ON "-DLUMOSKOP_FUZZ_COVERAGE=$coverage" -DLUMOSKOP_BUILD_TESTS=OFF
      -DLUMOSKOP_SANITIZE=OFF)
    # Read by CMake only when the folder is new; the compiler then stays in its cache.
    export CXX=clang++
    ;;
esac

read -r -a extra <<<"${CMAKE_EXTRA_ARGS:-}"
werror=()
[ -z "${LUMOSKOP_WERROR:-}" ] || werror=("-DLUMOSKOP_WERROR=$LUMOSKOP_WERROR")

# A later option wins over an earlier one: the kind's settings, then the environment, then the
# command line.
cmake -S . -B "$dir" "${kind_args[@]}" "${extra[@]}" "${werror[@]}" "${configure_args[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" "${build_args[@]}"
