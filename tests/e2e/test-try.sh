#!/usr/bin/env bash
# Tests `make try`'s script (tools/try.sh). Where Wine runs 32-bit programs:
# the demo library (its PreInstall returns 1) and a library without the
# export, each staged alone in a folder of its own, with the output and the
# exit code each must give. Everywhere: a clear refusal where Wine cannot
# run, and of a PROGRAM that is neither launcher.
#
# Usage: tests/e2e/test-try.sh WINDOWS_DIR DEMO_LIBRARY NOEXPORT_LIBRARY
set -uo pipefail
export LC_ALL=C
cd "$(dirname "$0")/../.." || exit 2
windows_dir=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-try-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/demo" "$work/noexport"
cp "$2" "$work/demo/dropnestlib.dll"
cp "$3" "$work/noexport/dropnestlib.dll"

failures=0
# row WHAT STATUS PATTERN [VARIABLE=VALUE...] -- LIBRARY [ARGS]: tools/try.sh
# must exit with STATUS and print a line matching PATTERN.
row() {
  local what=$1 expected=$2 pattern=$3 status=0
  shift 3
  local variables=()
  while [ "$1" != -- ]; do
    variables+=("$1")
    shift
  done
  shift
  env "${variables[@]}" bash tools/try.sh "$windows_dir" "$@" >"$work/out.log" 2>&1 || status=$?
  if [ "$status" = "$expected" ] && grep -Eq "$pattern" "$work/out.log"; then
    echo "ok    $what"
  else
    echo "FAIL  $what (status $status, expected $expected; no line /$pattern/ or another status)"
    sed 's/^/  | /' "$work/out.log"
    failures=$((failures + 1))
  fi
}

row "a PROGRAM that is neither launcher is refused" 2 "PROGRAM must be setup.exe or setup-debug.exe" \
  PROGRAM=other.exe -- "$work/demo/dropnestlib.dll"
if why=$(bash tools/wine-can-run.sh); then
  row "the demo library: its result, passed on" 1 \
    '^try: exit code 1 \(0x00000001\): PreInstall.s result' -- "$work/demo/dropnestlib.dll" /install
  row "the demo library: its DLL loaded from the folder" 1 '^try: loaded: .*\\Try\\dropnestlib\.dll' \
    -- "$work/demo/dropnestlib.dll" /install
  row "the demo library: the exact command line" 1 '^try: debug trail: setup-debug: command line for PreInstall: \[/install /lang de\]$' \
    PROGRAM=setup-debug.exe -- "$work/demo/dropnestlib.dll" '/install /lang de'
  row "no export: exit code 0 and what it means" 0 \
    '^try: exit code 0 \(0x00000000\): nothing was done' -- "$work/noexport/dropnestlib.dll"
  row "no export: the trail says so" 0 'setup-debug: no export named exactly "PreInstall"' \
    PROGRAM=setup-debug.exe -- "$work/noexport/dropnestlib.dll"
  row "the debug folder: setup-debug.exe loads the copy there" 1 \
    'setup-debug: library C:\\OvratDebug\\dropnestlib\.dll: loaded' \
    PROGRAM=setup-debug.exe DEBUG_FOLDER=1 -- "$work/demo/dropnestlib.dll"
else
  row "refused clearly where Wine cannot run" 2 "^try: cannot run the Windows build here: " \
    -- "$work/demo/dropnestlib.dll" /install
  echo "SKIP  make try under Wine: $why"
fi
[ "$failures" -eq 0 ] || { echo "test-try: $failures rows failed"; exit 1; }
echo "test-try: all rows passed"
