#!/usr/bin/env bash
# Installs everything the native and the Windows builds and their tests need
# on a fresh Debian 12 machine. Safe to run again: it only installs what is
# missing, and touches apt's lists only when it has to.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

PACKAGES=(
  # both builds
  build-essential cmake ninja-build git make clang-format file pkg-config
  # unit tests (native: prebuilt; Windows: built from the sources)
  libgtest-dev googletest
  # the Windows build and its test runs
  g++-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 wine64
  python3 python3-pefile
  # fuzzing (libFuzzer) and memory checks
  clang libclang-rt-14-dev valgrind
  # benchmarks and the libraries they compare against
  libbenchmark-dev libabsl-dev
  # signing the release (Authenticode) and the test's throwaway certificate;
  # OpenSSL's engine for keys on PKCS#11 tokens, and a software token to test it
  osslsigncode openssl libengine-pkcs11-openssl softhsm2
)

# wine32 lives in the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  NEED_UPDATE=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: everything is already installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "${NEED_UPDATE:-0}" = 1 ] || [ ! -e /var/lib/apt/lists/lock ] ||
   [ -z "$(ls /var/lib/apt/lists/*i386_Packages* 2>/dev/null)" ]; then
  $SUDO apt-get update -qq
fi
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  # The lists may be stale on a machine that was kept; refresh once and retry.
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
