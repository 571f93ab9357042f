#!/usr/bin/env bash
# test.sh
# Installs what is missing, builds the project three ways (release, with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets with
# clang), and runs every test once on a virtual display of its own. Ends
# with ctest's summary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${TEST_PACKAGES[@]}"
# The sanitizers check unoptimised code just as well, and it builds in a
# third of the time; line tables keep their reports' file and line.
build_tree "$BUILD/asan" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" \
  -DPELAGRIN_SANITIZE=ON -DPELAGRIN_TEST_PREFIX=asan.
CC=clang CXX=clang++ build_tree "$BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELAGRIN_FUZZ=ON -DPELAGRIN_TEST_PREFIX=fuzz.
build_tree "$BUILD/release" -DCMAKE_BUILD_TYPE=Release \
  "-DPELAGRIN_EXTRA_TEST_DIRS=$BUILD/asan/tests;$BUILD/fuzz/fuzz"

start_xvfb
say "Running the tests on display $DISPLAY"
cd "$BUILD/release"
set +e
ctest --output-on-failure -j2 --timeout 1200
status=$?
exit "$status"
