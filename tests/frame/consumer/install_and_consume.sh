#!/usr/bin/env bash
# Installs the built project into a staging prefix with cmake --install, then
# builds and runs a small consumer against it twice: once found with
# find_package(txads), once with pkg-config. Nothing outside WORK is touched.
#
#   install_and_consume.sh BUILD_DIR WORK_DIR CONSUMER_SOURCE_DIR [CFLAGS]
# CFLAGS are given to the consumer's compiler and linker (the sanitizer
# flags when the library was built with them).
set -euo pipefail

build=$1 work=$2 source=$3 flags=${4:-}
prefix=$work/prefix

rm -rf "$work"
mkdir -p "$work"

echo "== cmake --install $build --prefix $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

for f in include/txads.h include/zktrace.h; do
  [[ -f $prefix/$f ]] || { echo "not installed: $f" >&2; exit 1; }
done
config=$(find "$prefix" -name txadsConfig.cmake -print -quit)
pcfile=$(find "$prefix" -name txads.pc -print -quit)
[[ -n $config ]] || { echo "no txadsConfig.cmake installed" >&2; exit 1; }
[[ -n $pcfile ]] || { echo "no txads.pc installed" >&2; exit 1; }
libdir=$(dirname "$(find "$prefix" -name 'libtxads.so.0' -print -quit)")
[[ -e $libdir/libtxads.so && -e $libdir/libzktrace.so && -e $libdir/libzktrace.so.0 ]] ||
  { echo "libraries or their links missing in $libdir" >&2; exit 1; }

echo "== the installed txads command"
out=$("$prefix/bin/txads" init 0) && status=0 || status=$?
[[ $out == "result: 1" && $status == 1 ]] ||
  { echo "installed txads init 0 gave '$out', exit $status" >&2; exit 1; }

echo "== find_package(txads)"
cmake -S "$source/cmake" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/cmake.log"
cmake --build "$work/cmake-build" >>"$work/cmake.log"
out=$(ZKTRACE_FILE="$work/trace.log" "$work/cmake-build/consumer")
[[ $out == "consumer ok" ]] || { echo "find_package consumer said: $out" >&2; exit 1; }

echo "== pkg-config txads"
export PKG_CONFIG_PATH=$(dirname "$pcfile")
pc_libdir=$(pkg-config --variable=libdir txads)
[[ $(realpath "$pc_libdir") == $(realpath "$libdir") ]] ||
  { echo "txads.pc names libdir $pc_libdir, libraries are in $libdir" >&2; exit 1; }
# shellcheck disable=SC2046
cc $flags -o "$work/consumer-pc" "$source/consumer.c" $(pkg-config --cflags --libs txads)
out=$(LD_LIBRARY_PATH=$pc_libdir ZKTRACE_FILE="$work/trace.log" "$work/consumer-pc")
[[ $out == "consumer ok" ]] || { echo "pkg-config consumer said: $out" >&2; exit 1; }

lines=$(grep -c '| consumer | 6 | installed libraries reached$' "$work/trace.log")
[[ $lines == 2 ]] || { echo "expected 2 trace lines from the consumers, found $lines" >&2; exit 1; }
echo "installed txads found by find_package and pkg-config"
