#!/usr/bin/env bash
# Assembles the Windows test kit from a Windows build folder (make
# windows-test-kit): KIT_DIR and KIT_DIR.zip, holding every Windows test
# program with what it loads, setup.exe, setup-debug.exe, a pinned test
# release, check-admin.exe, run-tests.cmd and README.txt. A vendor copies the
# folder (or the zip) to a Windows 10 or 11 machine and runs run-tests.cmd
# in an administrator Command Prompt; nothing in it needs Linux, Python or
# Wine, which this script checks: every program and library may import
# system DLLs only.
#
# Usage: tools/make-test-kit.sh WINDOWS_DIR KIT_DIR
set -euo pipefail
export LC_ALL=C
source_dir=$(cd "$(dirname "$0")/.." && pwd)
windows_dir=$1
kit=$2
tests=$windows_dir/tests
e2e=$tests/e2e

die() {
  echo "make-test-kit: $*" >&2
  exit 1
}

# The programs run-tests.cmd runs, in this order (paths inside the kit).
programs=('unit\textstring_tests.exe' 'e2e\setup-e2e-tests.exe')

rm -rf "$kit" "$kit.zip"
mkdir -p "$kit/unit" "$kit/e2e"

# copy SOURCE DEST: the build must have made SOURCE.
copy() {
  [ -e "$1" ] || die "$1 is missing: build the Windows targets first (make windows)"
  cp -R "$1" "$2"
}

# The unit tests load their fixture libraries from beside themselves.
copy "$tests/textstring_tests.exe" "$kit/unit/"
for library in "$tests"/*.dll; do
  copy "$library" "$kit/unit/"
done

# The end-to-end tests find the launchers, the test libraries and the
# pinned release beside themselves.
copy "$e2e/setup-e2e-tests.exe" "$kit/e2e/"
copy "$e2e/setup.exe" "$kit/e2e/"
copy "$e2e/setup-debug.exe" "$kit/e2e/"
copy "$e2e/demo-dropnestlib.dll" "$kit/e2e/"
for library in "$e2e"/e2e-*.dll; do
  copy "$library" "$kit/e2e/"
done
copy "$e2e/pinned-release" "$kit/e2e/"

copy "$tests/kit/check-admin.exe" "$kit/"

# Windows' cmd reads a batch file with bare line feeds wrongly (labels and
# jumps go astray): CRLF throughout.
crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
windows_programs=$(printf '%s ' "${programs[@]}")
windows_programs=${windows_programs% }
# (Backslashes doubled: sed reads the replacement's escapes.)
sed "s|@KIT_PROGRAMS@|${windows_programs//\\/\\\\}|" "$source_dir/tests/kit/run-tests.cmd" \
  >"$kit/run-tests.tmp"
crlf "$kit/run-tests.tmp" "$kit/run-tests.cmd"
rm "$kit/run-tests.tmp"
crlf "$source_dir/tests/kit/README.txt" "$kit/README.txt"

# What the kit was built from, for the log a vendor sends back.
{
  echo "Kit built from: $(git -C "$source_dir" describe --always --dirty=' (modified)' 2>/dev/null ||
    echo 'an unknown tree')"
  echo "Files (SHA-256):"
  (cd "$kit" && find . -type f ! -name kit-info.txt | sort | sed 's|^\./||' |
    while IFS= read -r file; do
      printf '  %s  %s\n' "$(sha256sum <"$file" | cut -c1-64)" "${file//\//\\}"
    done)
} >"$kit/kit-info.tmp"
crlf "$kit/kit-info.tmp" "$kit/kit-info.txt"
rm "$kit/kit-info.tmp"

# Only Windows may be needed: no MinGW runtime DLL, nothing of the build.
objdump=$(command -v i686-w64-mingw32-objdump || true)
[ -n "$objdump" ] || die "i686-w64-mingw32-objdump not found (tools/install-deps.sh installs it)"
system_dlls='^(kernel32|advapi32|msvcrt|user32|bcrypt|ntdll)\.dll$'
while IFS= read -r file; do
  while IFS= read -r dll; do
    name=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    # A test library may import another of the kit's (the pinned release's
    # installer library imports the stand-in that its tests put into the
    # system folder).
    if ! [[ $name =~ $system_dlls ]] && [ -z "$(find "$kit" -iname "$dll" -print -quit)" ]; then
      die "${file#"$kit"/} imports $dll, which neither Windows nor the kit has"
    fi
  done < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$kit" -type f \( -name '*.exe' -o -name '*.dll' \))
stray=$(find "$kit" -type f ! \( -name '*.exe' -o -name '*.dll' -o -name '*.cmd' -o -name '*.txt' \
  -o -name '*.inf' \) | sed "s|^$kit/||")
[ -z "$stray" ] || die "files that do not belong in the kit: $stray"

(cd "$(dirname "$kit")" && cmake -E tar cf "$(basename "$kit").zip" --format=zip "$(basename "$kit")")
echo "make-test-kit: $kit/ and $kit.zip ($(find "$kit" -type f | wc -l) files)"
