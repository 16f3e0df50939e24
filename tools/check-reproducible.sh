#!/usr/bin/env bash
# Builds setup.exe and setup-debug.exe twice from the same source, in two
# fresh build folders whose paths differ (also in length), under different
# time zones, locales and umasks, and compares the results byte for byte.
# Two builds of one commit must be identical: a customer's copy can then be
# matched to its source by its bytes alone.
#
# Usage: tools/check-reproducible.sh [SOURCE_DIR [BUILD_TYPE]]
#   SOURCE_DIR defaults to this checkout, BUILD_TYPE to MinSizeRel (what
#   `make windows` builds).
# Exit status 0 when identical, 1 when they differ, 2 when a build fails.
# Set KEEP=1 to keep the two build folders for a closer look.
set -euo pipefail

source_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
build_type=${2:-MinSizeRel}
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-reproducible.XXXXXX")
if [ "${KEEP:-0}" = 1 ]; then
  echo "check-reproducible: build folders kept in $work"
else
  trap 'rm -rf "$work"' EXIT
fi

# build FOLDER TZ LOCALE UMASK
build() {
  local build=$1
  if ! (
    export TZ=$2 LC_ALL=$3
    umask "$4"
    cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
      -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" \
      -DTEXTSTRING_BUILD_TESTS=OFF &&
      cmake --build "$build" --target setup setup-debug
  ) >"$build.log" 2>&1; then
    echo "check-reproducible: the build in $build failed:"
    tail -n 30 "$build.log"
    exit 2
  fi
}

builds=("$work/one" "$work/build-number-two")
build "${builds[0]}" UTC C 022
build "${builds[1]}" Pacific/Kiritimati C.UTF-8 077

status=0
for name in setup.exe setup-debug.exe; do
  first="${builds[0]}/AdminExe/$name"
  second="${builds[1]}/AdminExe/$name"
  if cmp -s "$first" "$second"; then
    echo "ok    $name: identical ($(stat -c %s "$first") bytes, sha256 $(sha256sum "$first" | cut -c1-16)...)"
  else
    status=1
    echo "FAIL  $name: the two builds differ"
    echo "      sizes: $(stat -c %s "$first") and $(stat -c %s "$second") bytes;" \
         "$(cmp -l "$first" "$second" 2>/dev/null | wc -l) bytes differ; first differences" \
         "(offset, octal bytes):"
    cmp -l "$first" "$second" 2>/dev/null | head -n 10 | sed 's/^/        /'
  fi
done
exit $status
