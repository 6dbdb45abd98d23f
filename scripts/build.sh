#!/usr/bin/env bash
# Configures and builds Vantrel into build/; the program folder is build/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the checkout, so another clone of the same sources reuses the compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)"
