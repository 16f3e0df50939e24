#!/usr/bin/env bash
# Runs the Windows test kit as a vendor would, under Wine: unpacks the zip
# into a fresh Wine prefix, in a folder whose name has a blank, and runs
# run-tests.cmd with Wine's own cmd. It must close with "2 passed, 0 failed"
# and exit 0; a kit with a program missing and the launcher gone must
# report both as failed and exit non-zero.
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

# A new prefix is made by the wrapper on its first run.
"$wine_run" --prefix "$prefix" cmd /c exit </dev/null >/dev/null 2>&1
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
  "$wine_run" --prefix "$prefix" cmd /c "C:\\$1\\$top\\run-tests.cmd" \
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
