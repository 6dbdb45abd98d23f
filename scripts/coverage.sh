#!/usr/bin/env bash
# Builds with line counters into build-coverage/, runs the whole suite there and prints the
# share of the code's lines it runs (tests, benchmarks and fuzzers left out of the count).
#   scripts/coverage.sh [ctest options]
# The per-file table goes to build-coverage/coverage.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --coverage
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
# Unoptimised, so every source line keeps its own counter.
cmake -S . -B build-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
    -DCMAKE_SHARED_LINKER_FLAGS="--coverage" >/dev/null
cmake --build build-coverage --parallel "$(nproc)"
find build-coverage -name '*.gcda' -delete
# A failing test still counts the lines it ran; the suite's verdict is scripts/test.sh's job.
QT_QPA_PLATFORM=offscreen ctest --test-dir build-coverage --parallel 2 "$@" || true
gcovr --root . --object-directory build-coverage \
    --exclude 'tests/' --exclude 'bench/' --exclude 'fuzz/' --exclude 'build.*/' \
    --exclude-unreachable-branches --gcov-ignore-parse-errors \
    --txt build-coverage/coverage.txt --print-summary
