#!/usr/bin/env bash
# Tries an installer library as a customer's machine would run it: the
# program (setup.exe or setup-debug.exe) and the library's whole folder are
# copied into a fresh Wine prefix, the program is started with exactly the
# given command line, and what happened is printed: the command line, what
# the program told a debugger (setup-debug.exe's debug trail), which DLLs of
# the folder were loaded, and the whole 32-bit exit code with its meaning.
# `make try` calls it after building; README.md, "Writing and testing an
# installer library", tells a vendor how to use it.
#
# Usage: tools/try.sh WINDOWS_DIR LIBRARY [ARGS]
#   LIBRARY        the installer library; everything in its folder comes
#                  along (its companions, its data); copied as dropnestlib.dll
#                  when it is named otherwise
#   ARGS           what follows the program's quoted path on the command line
# From the environment:
#   PROGRAM        setup.exe (default) or setup-debug.exe
#   DEBUG_FOLDER=1 the library's folder goes to C:\OvratDebug instead of
#                  beside the program (only setup-debug.exe looks there)
#
# Exit status: the program's exit code where it fits in 0..255, else 1;
# 2 when the try could not be made (no Wine that runs, a missing file).
set -euo pipefail

die() {
  echo "try: $*" >&2
  exit 2
}

[ $# -ge 2 ] && [ $# -le 3 ] || die "usage: tools/try.sh WINDOWS_DIR LIBRARY [ARGS]"
windows_dir=$1
library=$2
arguments=${3:-}
program=${PROGRAM:-setup.exe}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

case $program in
  setup.exe | setup-debug.exe) ;;
  *) die "PROGRAM must be setup.exe or setup-debug.exe, not '$program'" ;;
esac
case ${DEBUG_FOLDER:-} in
  "" | 0) debug_folder=0 ;;
  1) debug_folder=1 ;;
  *) die "DEBUG_FOLDER must be 1 or empty, not '$DEBUG_FOLDER'" ;;
esac
[ -n "$library" ] || die "no LIBRARY given: make try LIBRARY=path/to/dropnestlib.dll ARGS='/install'"
[ -f "$library" ] || die "LIBRARY: no such file: $library"
why=$(bash "$source_dir/tools/wine-can-run.sh") ||
  die "cannot run the Windows build here: $why. Try the library on a Windows machine" \
    "(setup-debug.exe's trail shows in DebugView) or on a machine where Wine runs 32-bit programs."
for file in "AdminExe/$program" tests/e2e/setup-driver.exe wine-run.sh; do
  [ -e "$windows_dir/$file" ] || die "no $windows_dir/$file: build first (make try does)"
done
if [ "$debug_folder" = 1 ] && [ "$program" = setup.exe ]; then
  echo "try: note: setup.exe never looks in C:\\OvratDebug; PROGRAM=setup-debug.exe does" >&2
fi

# A fresh prefix for every try: nothing of an earlier one can decide this one.
prefix=$(cd "$windows_dir" && pwd)/try/wineprefix
[ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix" "$prefix.lock" "$prefix.server.lock"
mkdir -p "$prefix"
echo "try: a fresh Wine prefix in $prefix (its first start takes a few seconds)"
drive_c=$prefix/drive_c
app='C:\Try'
mkdir -p "$drive_c/Try"
cp "$windows_dir/AdminExe/$program" "$drive_c/Try/$program"
folder='C:\Try'
if [ "$debug_folder" = 1 ]; then
  folder='C:\OvratDebug'
  mkdir -p "$drive_c/OvratDebug"
fi
linux_folder=$drive_c/${folder#C:\\}
cp -R "$(dirname "$library")/." "$linux_folder/"
name=$(basename "$library")
if [ "$(echo "$name" | tr '[:upper:]' '[:lower:]')" != dropnestlib.dll ]; then
  cp "$library" "$linux_folder/dropnestlib.dll"
fi

command_line="\"$app\\$program\"${arguments:+ $arguments}"
echo "try: command line: $command_line"
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$windows_dir/wine-run.sh" --prefix "$prefix" "$windows_dir/tests/e2e/setup-driver.exe" \
  --debug-output --command-line "$command_line" "$app\\$program" >"$output" 2>&1 || status=$?
sed -n 's/\r$//; s/^debug: /try: debug trail: /p' "$output"
# The DLLs that came from the folder the library was copied to.
folder_pattern=$(printf '%s' "$folder" | sed 's/\\/\\\\/g')
grep -i "^loaded: .*$folder_pattern\\\\" "$output" | sed 's/\r$//; s/^loaded: /try: loaded: /' ||
  echo "try: loaded: no DLL of $folder"
line=$(grep -E '^exit code: -?[0-9]+ \(0x[0-9A-F]{8}\)' "$output" | tr -d '\r' || true)
if [ -z "$line" ]; then
  sed 's/^/try:   | /' "$output" >&2
  die "setup-driver.exe could not run $program (status $status, its messages above)"
fi
code=$(echo "$line" | sed -E 's/^exit code: (-?[0-9]+) .*/\1/')
hex=$(echo "$line" | sed -E 's/.*\(0x([0-9A-F]{8})\)/\1/')

case $hex in
  00000000) meaning="nothing was done, or PreInstall returned 0: the library or its PreInstall export was not found (setup-debug.exe's trail says which), or PreInstall itself returned 0" ;;
  00000241) meaning="ERROR_INVALID_IMAGE_HASH: a pinned setup.exe refused its package (a file missing or changed)" ;;
  00000BC2) meaning="ERROR_SUCCESS_REBOOT_REQUIRED: PreInstall succeeded; a restart is needed" ;;
  00000669) meaning="ERROR_SUCCESS_REBOOT_INITIATED: PreInstall succeeded and started a restart" ;;
  C0000005) meaning="a crash: EXCEPTION_ACCESS_VIOLATION (a bad pointer)" ;;
  C00000FD) meaning="a crash: EXCEPTION_STACK_OVERFLOW" ;;
  C0000374) meaning="a crash: STATUS_HEAP_CORRUPTION (the heap was found damaged)" ;;
  C0000409) meaning="a crash: STATUS_STACK_BUFFER_OVERRUN (a fail-fast or a damaged stack)" ;;
  C000001D) meaning="a crash: EXCEPTION_ILLEGAL_INSTRUCTION" ;;
  C0000094) meaning="a crash: EXCEPTION_INT_DIVIDE_BY_ZERO" ;;
  C0000096) meaning="a crash: EXCEPTION_PRIV_INSTRUCTION" ;;
  80000003) meaning="a crash: EXCEPTION_BREAKPOINT (a breakpoint left in the code)" ;;
  C0000135) meaning="STATUS_DLL_NOT_FOUND: a DLL the program needs is missing" ;;
  C0000142) meaning="STATUS_DLL_INIT_FAILED: a DLL's start-up failed" ;;
  E06D7363) meaning="a crash: a C++ exception that nothing caught" ;;
  C*) meaning="a crash (an exception code): the library failed" ;;
  *) meaning="PreInstall's result, passed on unchanged" ;;
esac
echo "try: exit code $code (0x$hex): $meaning"
if [ "$code" -ge 0 ] && [ "$code" -le 255 ]; then
  exit "$code"
fi
exit 1
