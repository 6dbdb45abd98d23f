#!/bin/sh
# Builds the libFuzzer targets for the RTF reader and for the show text and picture header
# checks (needs clang with the libFuzzer runtime).
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
# shellcheck disable=SC2046
clang++ -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -fno-sanitize=vptr \
    -I"$here/../playlist" -I"$here/../config" -I"$here/../editor/page" \
    $(pkg-config --cflags Qt6Gui) \
    "$here/showtext_fuzzer.cpp" "$here/../playlist/showtext.cpp" \
    "$here/../editor/page/picturefile.cpp" \
    $(pkg-config --libs Qt6Gui) -o "$out/showtext_fuzzer"
echo "built $out/rtfreader_fuzzer $out/showtext_fuzzer"
