#!/bin/sh
# Builds the libFuzzer target for the RTF reader (needs clang with the libFuzzer runtime).
# Usage: fuzz/build.sh [output folder, default fuzz/work]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/work}
mkdir -p "$out"
# shellcheck disable=SC2046 # pkg-config output is a list of flags
clang++ -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -fno-sanitize=vptr \
    -I"$here/../editor/rtf" $(pkg-config --cflags Qt6Gui) \
    "$here/rtfreader_fuzzer.cpp" "$here"/../editor/rtf/*.cpp \
    $(pkg-config --libs Qt6Gui) -o "$out/rtfreader_fuzzer"
echo "built $out/rtfreader_fuzzer"
