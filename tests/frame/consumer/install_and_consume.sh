#!/usr/bin/env bash
# Installs the build into a staging prefix and builds c_header_test.c against
# it (consume.sh). No installed program or library of a plain build may name
# the source or build tree.
#   install_and_consume.sh BUILD_DIR WORK_DIR [CFLAGS: the sanitizer's, if any]
set -euo pipefail
build=$1 work=$2 flags=${3:-} source=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix
fail() { echo "$*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
tree=$(cd "$source/../../.." && pwd)
# A sanitizer build keeps its sources' paths for its reports; only a plain
# build is what ships.
if [[ -z $flags ]]; then
  while IFS= read -r -d '' file; do
    ! strings -a "$file" | grep -qF "$tree" || fail "$file names the tree it was built in ($tree)"
  done < <(find "$prefix" -type f \( -name '*.so*' -o -perm -u+x \) -print0)
fi
out=$("$prefix/bin/txads" init 0) && status=0 || status=$?
[[ $out == "result: 1" && $status == 1 ]] || fail "installed txads init 0: '$out', exit $status"

export CMAKE_PREFIX_PATH=$prefix
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name txads.pc -print -quit)")
export PKG_CONFIG_PATH
"$source/consume.sh" "$work" "$flags"
