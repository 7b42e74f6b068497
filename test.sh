#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh --test
./scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j2 "$@"
