#!/usr/bin/env bash
# Runs the Windows test kit as a vendor would, under Wine: unpacks the zip
# into a fresh Wine prefix, in a folder whose name has a blank, and runs
# run-tests.cmd with Wine's own cmd. It must close with "2 passed, 0 failed"
# and exit 0, in a prefix of 64-bit Windows (the 32-bit programs run
# through WoW64, as on most vendors' machines) and in one of 32-bit Windows;
# a kit with a program missing and the launcher gone must report both as
# failed and exit non-zero.
#
# Usage: tests/kit/test-kit.sh KIT_ZIP WINDOWS_DIR
set -uo pipefail
export LC_ALL=C
cd "$(dirname "$0")/../.." || exit 2
zip=$(realpath "$1")
windows_dir=$2
if ! why=$(bash tools/wine-can-run.sh); then
  echo "SKIP  the test kit under Wine's cmd: $why"
  exit 0
fi
work=$(realpath -m "$windows_dir/test-kit-run")
rm -rf "$work"
mkdir -p "$work"
prefix=$work/wineprefix
wine_run=$windows_dir/wine-run.sh

failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    failures=$((failures + 1))
  fi
}

# New prefixes are made by the wrapper on their first run; WINEARCH picks
# the kind of Windows.
"$wine_run" --prefix "$prefix" cmd /c exit </dev/null >/dev/null 2>&1
prefix32=$work/wineprefix32
WINEARCH=win32 "$wine_run" --prefix "$prefix32" cmd /c exit </dev/null >/dev/null 2>&1
drive_c=$prefix/drive_c

# The zip holds one folder, the kit (windows-test-kit unless KIT_DIR says
# otherwise).
top=$(cmake -E tar tf "$zip" | head -n 1)
top=${top%%/*}

# unpack FOLDER: the kit unpacked into C:\FOLDER.
unpack() {
  mkdir -p "$drive_c/$1" && (cd "$drive_c/$1" && cmake -E tar xf "$zip")
}

# run FOLDER: run-tests.cmd of the kit in C:\FOLDER under Wine's cmd; its
# output in $work/FOLDER.out, its exit status in $status.
run() {
  status=0
  "$wine_run" --prefix "${run_prefix:-$prefix}" cmd /c "C:\\$1\\$top\\run-tests.cmd" \
    </dev/null >"$work/$1.out" 2>&1 || status=$?
  tr -d '\r' <"$work/$1.out" >"$work/$1.txt"
}
closing() { grep -v '^The whole output' "$work/$1.txt" | grep -v '^$' | tail -n 1; }

kit="Test Kit"
unpack "$kit"
run "$kit"
cat "$work/$kit.txt"
check "the kit passes under Wine's cmd: 2 passed, 0 failed" \
  [ "$(closing "$kit")" = "2 passed, 0 failed" ]
check "run-tests.cmd exits 0" [ "$status" = 0 ]
check "one line per program" eval '[ "$(grep -c "^passed  " "$work/$kit.txt")" = 2 ]'
log=$drive_c/$kit/$top/run-tests.log
check "run-tests.log holds the programs' output" eval 'grep -q "PASSED" "$log" &&
  grep -q "^===== e2e.setup-e2e-tests.exe: exit code 0" <(tr -d "\r" <"$log")'

kit32="Kit on 32-bit Windows"
drive_c=$prefix32/drive_c unpack "$kit32"
run_prefix=$prefix32 run "$kit32"
check "the kit passes in a 32-bit prefix too: 2 passed, 0 failed" \
  [ "$(closing "$kit32")" = "2 passed, 0 failed" ]
check "in a 32-bit prefix, run-tests.cmd exits 0" [ "$status" = 0 ]
check "the 32-bit prefix is one (no SysWOW64)" [ ! -e "$prefix32/drive_c/windows/syswow64" ]

broken="Broken Kit"
unpack "$broken"
rm "$drive_c/$broken/$top/unit/textstring_tests.exe"
rm "$drive_c/$broken/$top/e2e/setup.exe"
run "$broken"
check "a broken kit: 0 passed, 2 failed" [ "$(closing "$broken")" = "0 passed, 2 failed" ]
check "a broken kit: a missing program is named" grep -q \
  '^FAILED  unit.textstring_tests.exe (missing from the kit)' "$work/$broken.txt"
check "a broken kit: a failing program is named" grep -q \
  '^FAILED  e2e.setup-e2e-tests.exe (exit code 1' "$work/$broken.txt"
check "a broken kit: run-tests.cmd exits non-zero" [ "$status" != 0 ]

if [ "$failures" -ne 0 ]; then
  echo "test-kit: $failures checks failed (outputs in $work)"
  exit 1
fi
echo "test-kit: all checks passed"
