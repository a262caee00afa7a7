#!/usr/bin/env bash
# Builds c_header_test.c against an installed txads, found once by
# find_package(txads) and once by pkg-config, and runs both. The install is
# the one CMAKE_PREFIX_PATH and PKG_CONFIG_PATH name, else the system's.
#   consume.sh WORK_DIR [CFLAGS: the sanitizer's, if any]
set -euo pipefail
work=$1 flags=${2:-} source=$(cd "$(dirname "$0")" && pwd)
fail() { echo "$*" >&2; exit 1; }

cmake -S "$source/cmake" -B "$work/cmake-build" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/cmake.log"
cmake --build "$work/cmake-build" >>"$work/cmake.log"
# shellcheck disable=SC2046
cc $flags -o "$work/consumer-pc" "$source/../c_header_test.c" $(pkg-config --cflags --libs txads)
rm -f "$work/trace.log"
for consumer in "$work/cmake-build/consumer" "$work/consumer-pc"; do
  out=$(LD_LIBRARY_PATH=$(pkg-config --variable=libdir txads) ZKTRACE_FILE="$work/trace.log" \
    "$consumer") || fail "$consumer failed: $out"
  [[ $out == "consumer ok" ]] || fail "$consumer said: $out"
done
[[ $(grep -c '| consumer | 6 | installed libraries reached$' "$work/trace.log") == 2 ]] ||
  fail "expected one trace line from each consumer in $work/trace.log"
