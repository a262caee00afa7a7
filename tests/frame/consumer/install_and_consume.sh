#!/usr/bin/env bash
# Installs the built project into a staging prefix, then builds and runs a
# small consumer against it, found once with find_package(txads) and once
# with pkg-config. Nothing outside WORK_DIR is touched.
#   install_and_consume.sh BUILD_DIR WORK_DIR CONSUMER_SOURCE_DIR [CFLAGS]
# CFLAGS go to the consumer's compiler and linker (the sanitizer's, if any).
set -euo pipefail
build=$1 work=$2 source=$3 flags=${4:-}
prefix=$work/prefix
fail() { echo "$*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
[[ -f $prefix/include/txads.h && -f $prefix/include/zktrace.h ]] || fail "headers not installed"
out=$("$prefix/bin/txads" init 0) && status=0 || status=$?
[[ $out == "result: 1" && $status == 1 ]] || fail "installed txads init 0: '$out', exit $status"

cmake -S "$source/cmake" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/cmake.log"
cmake --build "$work/cmake-build" >>"$work/cmake.log"
out=$(ZKTRACE_FILE="$work/trace.log" "$work/cmake-build/consumer")
[[ $out == "consumer ok" ]] || fail "find_package consumer said: $out"

pcfile=$(find "$prefix" -name txads.pc -print -quit)
[[ -n $pcfile ]] || fail "no txads.pc installed"
export PKG_CONFIG_PATH=$(dirname "$pcfile")
# shellcheck disable=SC2046
cc $flags -o "$work/consumer-pc" "$source/../c_header_test.c" $(pkg-config --cflags --libs txads)
out=$(LD_LIBRARY_PATH=$(pkg-config --variable=libdir txads) ZKTRACE_FILE="$work/trace.log" \
  "$work/consumer-pc")
[[ $out == "consumer ok" ]] || fail "pkg-config consumer said: $out"

lines=$(grep -c '| consumer | 6 | installed libraries reached$' "$work/trace.log")
[[ $lines == 2 ]] || fail "expected 2 trace lines from the consumers, found $lines"
echo "installed txads found by find_package and pkg-config"
