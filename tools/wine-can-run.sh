#!/usr/bin/env bash
# Whether this machine can run the 32-bit Windows build under Wine. Exits 0
# when it can; else prints why and exits 77, the code that ctest and the test
# scripts read as "skipped".
#
# Wine runs a 32-bit Windows program in a 32-bit Linux process, so it needs
# the kernel to run 32-bit x86 code. Some virtual machines turn that off
# (execve of a 32-bit program then fails with "Exec format error"); there the
# Windows tests cannot run at all, and saying so beats a wall of failures.
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  loader=$(command -v wine || true)
fi
if [ -z "$loader" ]; then
  echo "Wine is not installed (tools/install-deps.sh installs it)"
  exit 77
fi
if ! output=$("$loader" --version 2>&1); then
  echo "this machine cannot run 32-bit x86 programs, so not Wine's 32-bit loader either" \
    "($loader: ${output##*: })"
  exit 77
fi
exit 0
