#!/usr/bin/env bash
# Tests `make release` with throwaway keys made here: the release signs and
# verifies, is byte-reproducible, still passes tools/check-pe.py and the
# end-to-end rows under Wine; a release with PACKAGE pins and ships the
# package, signing its unsigned PE files; and every bad input fails with a
# clear message and leaves nothing in the release folder.
#
# Usage: tests/release/test-release.sh WINDOWS_DIR (what `make test-release`
# runs, after building the targets it needs). Each release goes to a folder of
# its own under a scratch directory; the project's build/release is never used.
# The Wine prefix is the test's own (WINDOWS_DIR/release-test), so that ctest's
# end-to-end tests, which use the same sandbox folders, may run alongside.
# Exit status 0 when every check passed. KEEP=1 keeps the scratch directory;
# OSSLSIGNCODE=PROGRAM signs and checks with another osslsigncode.
set -euo pipefail
export LC_ALL=C

cd "$(dirname "$0")/../.."
windows_dir=$(cd "$1" && pwd)
# Neither the caller's key nor its make command line may reach the cases.
unset MAKEFLAGS MFLAGS SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_PKCS11_MODULE \
  SIGN_PKCS11_ENGINE SIGN_CA_FILE SIGN_TIMESTAMP_URL UNSIGNED PACKAGE UNPINNED PINNED_DIR
# The releases below are made from this checkout, which may hold the
# uncommitted work of whoever runs the test; the rows on a modified tree
# release a tree of their own.
export ALLOW_DIRTY=1
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-release-test.XXXXXX")
if [ "${KEEP:-0}" = 1 ]; then
  echo "test-release: keys, releases and logs kept in $work"
else
  trap 'rm -rf "$work"' EXIT
fi
built=$windows_dir/AdminExe/setup.exe
# Another osslsigncode (OSSLSIGNCODE=...) serves tools/release.sh and the checks alike.
osslsigncode=${OSSLSIGNCODE:-osslsigncode}

failures=0
# check WHAT LOG COMMAND...: one line per check; a failed one counts and shows
# $work/LOG.log.
check() {
  local what=$1 log=$work/$2.log
  shift 2
  if "$@"; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    [ ! -f "$log" ] || sed 's/^/  | /' "$log"
    failures=$((failures + 1))
  fi
}

# release NAME [VARIABLE=VALUE...]: `make release` into $work/NAME, its output in $work/NAME.log.
release() {
  local name=$1
  shift
  make -s --no-print-directory release WINDOWS_DIR="$windows_dir" \
    RELEASE_DIR="$work/$name" "$@" >"$work/$name.log" 2>&1
}

# Only setup.exe and SHA256SUMS, and the sum matches.
released() {
  [ "$(ls -A "$work/$1" | tr '\n' ' ')" = "SHA256SUMS setup.exe " ] &&
    (cd "$work/$1" && sha256sum --quiet -c SHA256SUMS)
}

# verified NAME EPOCH: the signature holds against the vendor's certificate,
# with SHA-256, the description and the signing time EPOCH.
verified() {
  local log=$work/$1.verify
  "$osslsigncode" verify -CAfile "$work/vendor.pem" -in "$work/$1/setup.exe" >"$log" 2>&1 &&
    grep -Eq 'Message digest algorithm *: *SHA256' "$log" &&
    grep -q 'Text description: Ovrat Zandor USB Stick Installation$' "$log" &&
    grep -q "Signing time: $(date -u -d "@$2" '+%b %e %H:%M:%S %Y GMT')" "$log"
}

# log_says NAME PATTERN
log_says() { grep -Eq "$2" "$work/$1.log"; }
failed() { ! release "$@"; }

# --- throwaway keys --------------------------------------------------------------
# key NAME SUBJECT [ISSUER]: NAME.pem and NAME.key, self-signed or issued by
# ISSUER. An issued one names a revocation list, as a CA's do, on a port where
# nothing answers: the release's check must not need the network.
key() {
  local issuer=(-x509 -days 3650 -addext extendedKeyUsage=codeSigning)
  [ $# -lt 3 ] || issuer=(-CA "$work/$3.pem" -CAkey "$work/$3.key" -days 365
    -addext extendedKeyUsage=codeSigning -addext crlDistributionPoints=URI:http://127.0.0.1:9/ca.crl)
  openssl req "${issuer[@]}" -newkey rsa:2048 -nodes -subj "$2" \
    -keyout "$work/$1.key" -out "$work/$1.pem" 2>/dev/null
}
key vendor "/CN=Release Test Vendor/O=Release Test"
key other "/CN=Another Vendor/O=Release Test"
key root "/CN=Release Test Root/O=Release Test"
key issued "/CN=Issued Vendor/O=Release Test" root
printf 'pfx password\n' >"$work/pass.txt"
printf 'not the password\n' >"$work/wrong.txt"
printf 'pfx password\r\n' >"$work/pass-crlf.txt"
openssl pkcs12 -export -in "$work/vendor.pem" -inkey "$work/vendor.key" \
  -passout "file:$work/pass.txt" -out "$work/vendor.pfx"
pem=(SIGN_CERT="$work/vendor.pem" SIGN_KEY="$work/vendor.key")
pfx=(SIGN_PKCS12="$work/vendor.pfx" SIGN_PASSWORD_FILE="$work/pass.txt")
# The vendor's key once more, on a software token of the run's own.
export SOFTHSM2_CONF=$work/softhsm2.conf
mkdir "$work/tokens"
printf 'directories.tokendir = %s\nobjectstore.backend = file\n' "$work/tokens" >"$SOFTHSM2_CONF"
printf '4711\n' >"$work/pin.txt"
softhsm2-util --init-token --free --label release-test --pin 4711 --so-pin 4712 >/dev/null
softhsm2-util --import "$work/vendor.key" --token release-test --label vendor --id 01 \
  --pin 4711 >/dev/null
token=(SIGN_PKCS11_MODULE=/usr/lib/softhsm/libsofthsm2.so SIGN_CERT="$work/vendor.pem"
  "SIGN_KEY=pkcs11:token=release-test;object=vendor" SIGN_PASSWORD_FILE="$work/pin.txt")
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
version=$("$osslsigncode" -v | head -n 1)
echo "test-release: ${version%%,*}; signing time $epoch"

# --- releases that work -------------------------------------------------------------
check "PEM key: released, signed and verified" pem eval 'release pem UNPINNED=1 "${pem[@]}" &&
  released pem && verified pem "$epoch"'
# What lets anyone match a signed copy to its sources without the key.
check "without its signature, the release is the built file" pem eval '"$osslsigncode" \
  remove-signature -in "$work/pem/setup.exe" -out "$work/plain.exe" >/dev/null &&
  cmp "$built" "$work/plain.exe"'
check "a second run gives identical bytes" again eval 'release again UNPINNED=1 "${pem[@]}" &&
  cmp "$work/pem/setup.exe" "$work/again/setup.exe"'
check "a PFX with the same key and certificate gives the same bytes" pfx eval 'release pfx UNPINNED=1 "${pfx[@]}" &&
  released pfx && cmp "$work/pem/setup.exe" "$work/pfx/setup.exe"'
check "a password file written on Windows (CRLF) opens the PFX" pfx-crlf eval 'release pfx-crlf \
  UNPINNED=1 SIGN_PKCS12="$work/vendor.pfx" SIGN_PASSWORD_FILE="$work/pass-crlf.txt" &&
  cmp "$work/pem/setup.exe" "$work/pfx-crlf/setup.exe"'
check "a key on a PKCS#11 token gives the same bytes" token eval 'release token UNPINNED=1 "${token[@]}" &&
  released token && cmp "$work/pem/setup.exe" "$work/token/setup.exe"'
# The script itself for these two, so that the build (whose date
# SOURCE_DATE_EPOCH also sets) stays as it is.
check "SOURCE_DATE_EPOCH sets the signing time" epoch eval 'SOURCE_DATE_EPOCH=1700000000 UNPINNED=1 \
  SIGN_CERT="$work/vendor.pem" SIGN_KEY="$work/vendor.key" \
  bash tools/release.sh "$built" "$work/epoch" >"$work/epoch.log" 2>&1 &&
  verified epoch 1700000000'
check "setup-debug.exe is refused" debug eval '! UNPINNED=1 SIGN_CERT="$work/vendor.pem" \
  SIGN_KEY="$work/vendor.key" bash tools/release.sh "$windows_dir/AdminExe/setup-debug.exe" \
  "$work/debug" >"$work/debug.log" 2>&1 && log_says debug "is not the program that ships" &&
  [ -z "$(ls -A "$work/debug")" ]'
check "a chain to the vendor's own root (SIGN_CA_FILE) verifies" ca eval 'release ca UNPINNED=1 \
  SIGN_CERT="$work/issued.pem" SIGN_KEY="$work/issued.key" SIGN_CA_FILE="$work/root.pem" &&
  released ca'
check "UNSIGNED=1: the built file, unsigned, with a warning" unsigned eval 'release unsigned UNSIGNED=1 UNPINNED=1 &&
  released unsigned && cmp "$built" "$work/unsigned/setup.exe" &&
  log_says unsigned "NOT SIGNED"'
check "UNPINNED=1: a warning that the release runs any dropnestlib.dll" pem \
  log_says pem "NOT PINNED"

# --- the tree a release is made from ------------------------------------------------
# This checkout's tracked files as they are, committed in a repository of
# their own and built in a folder of its own.
tree=$work/tree
mkdir "$tree"
git ls-files -z | tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$tree"
(cd "$tree" && git init -q && git add -A &&
  git -c user.name=test -c user.email=test@invalid commit -qm "the tree under test")
# tree_release NAME [VARIABLE=VALUE...]: `make release` of that tree into $work/NAME.
tree_release() {
  local name=$1
  shift
  make -s --no-print-directory -C "$tree" release WINDOWS_DIR="$work/tree-build" \
    RELEASE_DIR="$work/$name" "$@" >"$work/$name.log" 2>&1
}
stamped() { grep -aq '; modified\]' "$work/$1/setup.exe"; }
check "a committed tree: released without a \"modified\" stamp" clean eval 'tree_release clean \
  ALLOW_DIRTY= UNPINNED=1 "${pem[@]}" && released clean && ! stamped clean'
printf 'changed\n' >>"$tree/README.md"
check "a modified tree: refused, naming the changed file" dirty eval '! tree_release dirty \
  ALLOW_DIRTY= UNPINNED=1 "${pem[@]}" && log_says dirty "^release: +M README\.md$" &&
  [ -z "$(ls -A "$work/dirty")" ]'
check "ALLOW_DIRTY=1: released, stamped \"modified\", with a warning" allowed eval 'tree_release \
  allowed ALLOW_DIRTY=1 UNPINNED=1 "${pem[@]}" && released allowed && stamped allowed &&
  log_says allowed "DIFFERS FROM ITS LAST COMMIT"'

# --- a release pinned to its package --------------------------------------------------
# The package: the installer library (tests/e2e/PinnedPackage.cpp: it
# imports e2e-static-companion.dll and the stand-in for a system DLL, and
# loads e2e-companion.dll by bare name), those two companions, a DLL a
# supplier signed already, a data file in a subfolder.
package=$work/package
mkdir -p "$package/drivers"
cp "$windows_dir/tests/e2e/e2e-pinned-library.dll" "$package/dropnestlib.dll"
cp "$windows_dir/tests/e2e/e2e-static-companion.dll" "$package/"
cp "$windows_dir/tests/e2e/e2e-recording.dll" "$package/e2e-companion.dll"
"$osslsigncode" sign -certs "$work/other.pem" -key "$work/other.key" -h sha256 -time "$epoch" \
  -in "$windows_dir/tests/e2e/e2e-lowercase.dll" -out "$package/supplier.dll" >/dev/null
printf '[Version]\r\nSignature="$Windows NT$"\r\n' >"$package/drivers/net.inf"
built_sum=$(sha256sum <"$built")

# pinned NAME: the release holds setup.exe, SHA256SUMS and the package's files
# at their places, and every sum matches.
pinned() {
  [ "$(cd "$work/$1" && find . -type f | LC_ALL=C sort | tr '\n' ' ')" = \
    "./SHA256SUMS ./drivers/net.inf ./dropnestlib.dll ./e2e-companion.dll ./e2e-static-companion.dll ./setup.exe ./supplier.dll " ] &&
    (cd "$work/$1" && sha256sum --quiet -c SHA256SUMS)
}
# signed_by NAME FILE CERT: FILE of release NAME verifies against CERT.
signed_by() { "$osslsigncode" verify -CAfile "$work/$3.pem" -in "$work/$1/$2" >/dev/null 2>&1; }

check "PACKAGE: setup.exe and the package released, signed and verified" pinned eval 'release \
  pinned PACKAGE="$package" "${pem[@]}" && pinned pinned && verified pinned "$epoch"'
check "PACKAGE: its unsigned PE files signed with the release's key" pinned eval 'signed_by \
  pinned dropnestlib.dll vendor && signed_by pinned e2e-companion.dll vendor &&
  signed_by pinned e2e-static-companion.dll vendor'
check "PACKAGE: a file signed already stays as it was" pinned eval 'cmp "$package/supplier.dll" \
  "$work/pinned/supplier.dll" && signed_by pinned supplier.dll other'
check "PACKAGE: data files shipped unchanged" pinned cmp "$package/drivers/net.inf" \
  "$work/pinned/drivers/net.inf"
check "PACKAGE: the unpinned build stays as it was" pinned eval '[ "$(sha256sum <"$built")" = \
  "$built_sum" ]'
check "PACKAGE: a second run gives identical bytes" pinned2 eval 'release pinned2 \
  PACKAGE="$package" "${pem[@]}" && diff -r "$work/pinned" "$work/pinned2"'
check "PACKAGE=DIR UNSIGNED=1: pinned, nothing signed, with a warning" pinned-unsigned eval 'release \
  pinned-unsigned PACKAGE="$package" UNSIGNED=1 && pinned pinned-unsigned &&
  cmp "$package/dropnestlib.dll" "$work/pinned-unsigned/dropnestlib.dll" &&
  log_says pinned-unsigned "NOT SIGNED"'

# --- tools/check-package.py -------------------------------------------------------------
cp -R "$work/pinned" "$work/changed"
printf 'x' >>"$work/changed/drivers/net.inf"
cp "$windows_dir/tests/e2e/e2e-noexport.dll" "$work/changed/e2e-companion.dll"
rm "$work/changed/supplier.dll"
while IFS='|' read -r expected folder pattern what; do
  status=0
  python3 tools/check-package.py "$work/pinned/setup.exe" $folder >"$work/check-package.log" 2>&1 ||
    status=$?
  check "check-package.py: $what" check-package eval '[ "$status" = "$expected" ] &&
    grep -Eq "$pattern" "$work/check-package.log"'
done <<ROWS
0||e2e-companion\.dll  \(companion [12]\)|lists the pinned files and the companions
0|$work/pinned|all 5 files as pinned|finds the released folder as pinned
1|$work/changed|DIFFERS  drivers.net\.inf: another size|names a changed data file
1|$work/changed|DIFFERS  e2e-companion\.dll: another|names a replaced companion
1|$work/changed|DIFFERS  supplier\.dll: missing|names a missing file
ROWS
status=0
python3 tools/check-package.py "$built" >"$work/check-package.log" 2>&1 || status=$?
check "check-package.py: an unpinned program has no list" check-package eval '[ "$status" = 2 ] &&
  grep -q "no pin list" "$work/check-package.log"'

# --- tools/check-pe.py ----------------------------------------------------------------
head -c -1 "$work/pem/setup.exe" >"$work/cut.exe"
# The pinned program with its list's version byte changed (the last "DNPL"
# in the file is the list's resource; an earlier one is the code's): setup.exe
# would refuse to run with it.
perl -0777 -pe 's/(.*)DNPL\x01\x00/$1DNPL\x02\x00/s' "$work/pinned/setup.exe" >"$work/bad-pins.exe"
while read -r expected options file what; do
  [ "$options" != - ] || options=
  status=0
  python3 tools/check-pe.py $options "$work/$file" >"$work/check-pe.log" || status=$?
  check "check-pe.py ${options:-without --signed}: $what" check-pe [ "$status" = "$expected" ]
done <<'EOF'
0 --signed pem/setup.exe      the signed release passes
0 --signed pinned/setup.exe   the signed pinned release passes
0 -        pem/setup.exe      a certificate table is accepted
1 --signed unsigned/setup.exe an unsigned file fails
1 -        cut.exe            a signature cut short fails
1 -        bad-pins.exe       a pin list setup.exe would refuse fails
EOF

# --- the signed file under Wine -----------------------------------------------------
# setup-e2e-tests.exe runs under Wine and takes Windows paths: Z: is the
# Linux root there.
windows_path() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }
e2e_tests=$windows_dir/tests/e2e/setup-e2e-tests.exe
e2e_prefix=$windows_dir/release-test/wineprefix
if ! why=$(bash tools/wine-can-run.sh); then
  echo "SKIP  signed setup.exe under Wine: $why"
elif "$windows_dir/wine-run.sh" --prefix "$e2e_prefix" "$e2e_tests" --gtest_color=no \
  --gtest_filter='CommandLineTest.*:ExitCodeTest.*:PlantedLibraryTest.*:CompanionLibraryTest.*' \
  --setup="$(windows_path "$work/pem/setup.exe")" \
  --setup-debug="$(windows_path "$windows_dir/AdminExe/setup-debug.exe")" \
  </dev/null >"$work/e2e.log" 2>&1; then
  echo "ok    signed setup.exe under Wine: $(grep -E '^\[  PASSED  \]' "$work/e2e.log")"
else
  tail -n 40 "$work/e2e.log"
  check "signed setup.exe under Wine" - false
fi

# --- the pinned release under Wine -------------------------------------------------
# Runs as released; changed, missing or planted files never run.
if ! why=$(bash tools/wine-can-run.sh); then
  echo "SKIP  pinned release under Wine: $why"
elif "$windows_dir/wine-run.sh" --prefix "$e2e_prefix" "$e2e_tests" --gtest_color=no \
  --gtest_filter='PinnedPackageTest.*' --setup="$(windows_path "$work/pinned/setup.exe")" \
  --setup-debug="$(windows_path "$windows_dir/AdminExe/setup-debug.exe")" \
  --pinned-release="$(windows_path "$work/pinned")" </dev/null >"$work/e2e-pinned.log" 2>&1; then
  echo "ok    pinned release under Wine: $(grep -E '^\[  PASSED  \]' "$work/e2e-pinned.log")"
else
  tail -n 40 "$work/e2e-pinned.log"
  check "pinned release under Wine" - false
fi

# --- bad input --------------------------------------------------------------------------
# bad NAME: a copy of the good package to spoil.
bad() {
  mkdir -p "$work/bad"
  cp -R "$package" "$work/bad/$1"
}
bad no-library && rm "$work/bad/no-library/dropnestlib.dll"
bad setup && cp "$built" "$work/bad/setup/Setup.exe"
bad setup-debug && mkdir "$work/bad/setup-debug/tools" &&
  cp "$windows_dir/AdminExe/setup-debug.exe" "$work/bad/setup-debug/tools/"
bad ascii && printf x >"$work/bad/ascii/$(printf 'caf\xc3\xa9.txt')"
bad dot && printf x >"$work/bad/dot/readme."
bad colon && printf x >"$work/bad/colon/data:stream"
bad case && printf x >"$work/bad/case/data.bin" && printf y >"$work/bad/case/DATA.BIN"
bad link && ln -s dropnestlib.dll "$work/bad/link/link.dll"
bad fifo && mkfifo "$work/bad/fifo/pipe"

# Each case starts from an older release in the folder: a failed run must not
# leave it there either.
while IFS='|' read -r what pattern variables; do
  mkdir -p "$work/failed"
  echo old >"$work/failed/setup.exe"
  echo old >"$work/failed/SHA256SUMS"
  eval "variables=($variables)"
  check "fails: $what" failed eval 'failed failed "${variables[@]}" &&
    log_says failed "$pattern" && [ -z "$(ls -A "$work/failed")" ]'
done <<'EOF'
no certificate|release: no certificate given|UNPINNED=1
ALLOW_DIRTY=2|ALLOW_DIRTY must be 1 or empty|ALLOW_DIRTY=2 UNPINNED=1 "${pem[@]}"
a missing file|SIGN_CERT: no such file|SIGN_CERT="$work/missing.pem" SIGN_KEY="$work/vendor.key" UNPINNED=1
the key of another certificate|certificate does not belong to the key|SIGN_CERT="$work/vendor.pem" SIGN_KEY="$work/other.key" UNPINNED=1
a wrong PFX password|cannot open .*: wrong password in SIGN_PASSWORD_FILE|SIGN_PKCS12="$work/vendor.pfx" SIGN_PASSWORD_FILE="$work/wrong.txt" UNPINNED=1
a chain to a root nobody gave|did not verify against the given certificate|SIGN_CERT="$work/issued.pem" SIGN_KEY="$work/issued.key" UNPINNED=1
both a PFX and a PEM key|either SIGN_PKCS12 or SIGN_CERT|"${pfx[@]}" "${pem[@]}" UNPINNED=1
UNSIGNED=1 and a key|UNSIGNED=1 and a key .* were both given|UNSIGNED=1 UNPINNED=1 "${pem[@]}"
neither PACKAGE nor UNPINNED=1|release: no PACKAGE given: make release PACKAGE=DIR|"${pem[@]}"
PACKAGE and UNPINNED=1|PACKAGE and UNPINNED=1 were both given|PACKAGE="$package" UNPINNED=1 "${pem[@]}"
a PACKAGE that does not exist|PACKAGE: no such folder|PACKAGE="$work/no-such-package" "${pem[@]}"
a package without dropnestlib.dll|no dropnestlib.dll at the top level|PACKAGE="$work/bad/no-library" "${pem[@]}"
a package holding setup.exe|Setup.exe: a launcher inside the package|PACKAGE="$work/bad/setup" "${pem[@]}"
a package holding setup-debug.exe|tools.setup-debug.exe: a launcher inside the package|PACKAGE="$work/bad/setup-debug" "${pem[@]}"
a name beyond ASCII|a name the pin list cannot hold: not plain ASCII|PACKAGE="$work/bad/ascii" "${pem[@]}"
a name Windows would cut|a name the pin list cannot hold: a part ending in a dot|PACKAGE="$work/bad/dot" "${pem[@]}"
a name with a colon|a name the pin list cannot hold: a character Windows does not allow|PACKAGE="$work/bad/colon" "${pem[@]}"
two names that are one on Windows|DATA.BIN and data.bin: one name on Windows|PACKAGE="$work/bad/case" "${pem[@]}"
a link|link.dll: a link|PACKAGE="$work/bad/link" "${pem[@]}"
a special file|pipe: a special file|PACKAGE="$work/bad/fifo" "${pem[@]}"
EOF

if [ "$failures" -ne 0 ]; then
  echo "test-release: $failures checks failed"
  exit 1
fi
echo "test-release: all checks passed"
