#!/usr/bin/env bash
# Proves that the string library can be used from other projects the three
# ways README shows, outside this tree:
#  1. installed from the native build into a fresh prefix, which must hold
#     the library, its three public headers and the package files, and
#     nothing else (no internal header, test, fuzz or bench file), and
#     package files that ask for no dl library;
#  2. a consumer built with find_package(textstring CONFIG REQUIRED);
#  3. the same consumer with add_subdirectory of this checkout, which must
#     bring the library alone (no launcher, tests or benchmarks);
#  4. the same consumer built with `pkg-config --cflags --libs textstring`;
#  5. installed from the Windows build, and the consumer cross-built with
#     find_package and run under Wine.
# Each consumer checks one TextString and one PathString result itself.
#
# Usage: tests/package/test-package.sh NATIVE_BUILD WINDOWS_BUILD
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
native_build=$(cd "$1" && pwd)
windows_build=$(cd "$2" && pwd)
here=$source_dir/tests/package
work=$(mktemp -d "${TMPDIR:-/tmp}/textstring-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

say() { echo "test-package: $*"; }
fail() { echo "test-package: FAIL: $*" >&2; exit 1; }

# check_tree PREFIX LIBRARY_FILE: the installed files, exactly.
check_tree() {
  local prefix=$1 library=$2
  local expected actual
  expected=$(printf '%s\n' include/paths/PathString.h include/strings/ObjectBase.h \
    include/strings/TextString.h "lib/$library" lib/cmake/textstring/textstringConfig.cmake \
    lib/cmake/textstring/textstringConfigVersion.cmake \
    lib/cmake/textstring/textstringTargets.cmake lib/pkgconfig/textstring.pc | sort)
  # The per-configuration part of the exported targets is named after the
  # build type; one such file is expected.
  actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' |
           grep -v '^lib/cmake/textstring/textstringTargets-[a-z]*\.cmake$' | sort)
  [ "$actual" = "$expected" ] ||
    fail "$prefix holds other files than the library's:"$'\n'"$(diff <(echo "$expected") \
      <(echo "$actual") || true)"
  [ "$(cd "$prefix" && ls lib/cmake/textstring/textstringTargets-*.cmake | wc -l)" = 1 ] ||
    fail "expected one textstringTargets-<config>.cmake"
}

# check_no_dl PREFIX: the library loads nothing at run time (only the
# launcher does), so neither package file may ask for the dl library, be
# it as dl, -ldl or libdl.
check_no_dl() {
  local prefix=$1 found
  found=$(cd "$prefix" && grep -nwE 'l?dl|libdl' lib/pkgconfig/textstring.pc \
    lib/cmake/textstring/*.cmake) || true
  [ -z "$found" ] || fail "$prefix's package files name the dl library:"$'\n'"$found"
}

# build_consumer NAME SOURCE_DIR [cmake options...]: configures, builds.
build_consumer() {
  local name=$1 source=$2
  shift 2
  cmake -S "$source" -B "$work/$name" -G Ninja "$@" > "$work/$name.log" 2>&1 &&
    cmake --build "$work/$name" >> "$work/$name.log" 2>&1 ||
    { cat "$work/$name.log"; fail "$name consumer did not build"; }
}

run_consumer() {
  local name=$1
  shift
  local output
  output=$("$@") || fail "$name consumer: $output"
  [ "$output" = "${output#consumer: ok}" ] && fail "$name consumer: $output"
  say "$name: $output"
}

say "installing the native build into a fresh prefix"
cmake --install "$native_build" --prefix "$work/prefix-native" > /dev/null
check_tree "$work/prefix-native" libtextstring.a
say "native prefix holds the library, its public headers and package files only"
check_no_dl "$work/prefix-native"
say "native package files name no dl library"

build_consumer find-package "$here/find_package" -DCMAKE_PREFIX_PATH="$work/prefix-native"
run_consumer find_package "$work/find-package/consumer"

build_consumer subdirectory "$here/subdirectory" -DTEXTSTRING_SOURCE_DIR="$source_dir"
run_consumer add_subdirectory "$work/subdirectory/consumer"
targets=$(cmake --build "$work/subdirectory" --target help)
for unwanted in setup launcher launcher_platform textstring_tests; do
  if grep -qw "$unwanted" <<< "$targets"; then
    fail "add_subdirectory brought the target $unwanted along"
  fi
done

export PKG_CONFIG_PATH=$work/prefix-native/lib/pkgconfig
read -r -a flags <<< "$(pkg-config --cflags --libs textstring)"
c++ -std=c++17 "$here/consumer.cpp" "${flags[@]}" -o "$work/pkg-config-consumer" ||
  fail "pkg-config consumer did not build with: ${flags[*]}"
run_consumer pkg-config "$work/pkg-config-consumer"

say "installing the Windows build into a fresh prefix"
cmake --install "$windows_build" --prefix "$work/prefix-windows" > /dev/null
check_tree "$work/prefix-windows" libtextstring.a
check_no_dl "$work/prefix-windows"
# The toolchain file confines find_package to the MinGW root: name the
# package's folder instead, as a cross-compiling consumer would.
build_consumer windows "$here/find_package" \
  -Dtextstring_DIR="$work/prefix-windows/lib/cmake/textstring" \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel
if why=$(bash "$source_dir/tools/wine-can-run.sh"); then
  run_consumer "find_package (Windows, under Wine)" \
    "$windows_build/wine-run.sh" "$work/windows/consumer.exe"
else
  say "SKIPPED find_package (Windows) run under Wine: $why; the consumer was built"
fi
