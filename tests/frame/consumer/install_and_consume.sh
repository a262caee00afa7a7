#!/usr/bin/env bash
# Installs the build into a staging prefix, then builds c_header_test.c there
# as a consumer found once by find_package(txads), once by pkg-config, and
# runs both.   install_and_consume.sh BUILD_DIR WORK_DIR [CFLAGS]
# CFLAGS go to the consumer's compiler and linker (the sanitizer's, if any).
set -euo pipefail
build=$1 work=$2 flags=${3:-} source=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix
fail() { echo "$*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
out=$("$prefix/bin/txads" init 0) && status=0 || status=$?
[[ $out == "result: 1" && $status == 1 ]] || fail "installed txads init 0: '$out', exit $status"

cmake -S "$source/cmake" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/cmake.log"
cmake --build "$work/cmake-build" >>"$work/cmake.log"
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name txads.pc -print -quit)")
# shellcheck disable=SC2046
cc $flags -o "$work/consumer-pc" "$source/../c_header_test.c" $(pkg-config --cflags --libs txads)
for consumer in "$work/cmake-build/consumer" "$work/consumer-pc"; do
  out=$(LD_LIBRARY_PATH=$(pkg-config --variable=libdir txads) ZKTRACE_FILE="$work/trace.log" \
    "$consumer") || fail "$consumer failed: $out"
  [[ $out == "consumer ok" ]] || fail "$consumer said: $out"
done
lines=$(grep -c '| consumer | 6 | installed libraries reached$' "$work/trace.log")
[[ $lines == 2 ]] || fail "expected 2 trace lines from the consumers, found $lines"
