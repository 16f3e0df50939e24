#!/usr/bin/env bash
# Makes a release: setup.exe pinned to the package it ships with, signed with
# Authenticode and verified, with the package and SHA256SUMS, in a release
# folder. `make release` calls it after building; README.md, "Releasing",
# tells a vendor how to use it.
#
# Usage: tools/release.sh SETUP_EXE RELEASE_DIR
#
# What is released, from the environment:
#   PACKAGE=DIR            the package setup.exe ships with: dropnestlib.dll
#                          and everything else the stick holds. Its unsigned
#                          PE files are signed with the release's key (signed
#                          ones stay as they are), then the pin list of the
#                          result (tools/pin_list.py) is built into a setup.exe
#                          of its own, in PINNED_DIR (default: SETUP_EXE's
#                          build folder with "-pinned" appended). SETUP_EXE
#                          is not used then.
#   UNPINNED=1             SETUP_EXE as built, which runs any dropnestlib.dll
#                          placed beside it; with a loud warning. Refused
#                          together with PACKAGE; one of them is required.
#
# The signing key, from the environment (the make variables of the same name):
#   SIGN_CERT + SIGN_KEY   PEM certificate chain (signer first) and its key;
#                          with SIGN_PKCS11_MODULE, SIGN_KEY names the key on a
#                          PKCS#11 token (a pkcs11: URI) instead of a file
#   SIGN_PKCS12            a PFX/PKCS#12 file holding both
#   SIGN_PASSWORD_FILE     password of the PFX or the PEM key, or the token's PIN
#   SIGN_PKCS11_MODULE     the token's PKCS#11 library; SIGN_PKCS11_ENGINE the
#                          OpenSSL engine osslsigncode reaches it through
#   SIGN_CA_FILE           root certificate(s) the chain leads to, when they are
#                          not in the system's list (/etc/ssl/certs)
#   SIGN_TIMESTAMP_URL     RFC 3161 time-stamping service(s), blank-separated
#   UNSIGNED=1             no key: an unsigned release, with a warning
#   SOURCE_DATE_EPOCH      the signing time; else the last commit's date
#   OSSLSIGNCODE           the osslsigncode program to use
#
# The tree it is made from:
#   ALLOW_DIRTY=1          release although tracked files differ from the last
#                          commit (without it, such a tree is refused and the
#                          files are listed): the build identification then
#                          ends in "; modified", and the run says so loudly.
#                          Anyone must be able to match a shipped file to its
#                          commit; a modified tree has no commit to match.
#
# A run first removes RELEASE_DIR's setup.exe, SHA256SUMS and the files the
# old SHA256SUMS lists, signs into a scratch folder inside RELEASE_DIR, and
# moves the files into place only after every signature verified: a failed
# run leaves none of them behind, so an older release can never pass for
# this one. Exit status 0 on success, 1 otherwise.
set -euo pipefail

DESCRIPTION="Ovrat Zandor USB Stick Installation"
SYSTEM_ROOTS=/etc/ssl/certs/ca-certificates.crt

die() {
  echo "release: $*" >&2
  exit 1
}

# Shows a tool's log, indented, before dying with the message.
die_with_log() {
  local log=$1
  shift
  sed 's/^/  | /' "$log" >&2
  die "$@"
}

[ $# -eq 2 ] || die "usage: tools/release.sh SETUP_EXE RELEASE_DIR"
input=$1
release_dir=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
osslsigncode=${OSSLSIGNCODE:-osslsigncode}

mkdir -p "$release_dir"
release_dir=$(cd "$release_dir" && pwd)
# The older release's files, as its SHA256SUMS names them (never a path
# that leaves the folder), then the folders they leave empty.
if [ -f "$release_dir/SHA256SUMS" ]; then
  while read -r _ name; do
    name=${name#\*}
    case /$name/ in
      // | */../* | *//*) ;;
      *) rm -f -- "$release_dir/$name" ;;
    esac
  done <"$release_dir/SHA256SUMS"
fi
rm -f "$release_dir/setup.exe" "$release_dir/SHA256SUMS"
find "$release_dir" -mindepth 1 -type d -empty -delete
work=$(mktemp -d "$release_dir/.release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# --- pinned or not -------------------------------------------------------------
package=${PACKAGE:-}
unpinned=${UNPINNED:-}
case $unpinned in
  "" | 0) unpinned=0 ;;
  1) ;;
  *) die "UNPINNED must be 1 or empty, not '$unpinned'" ;;
esac
if [ -n "$package" ] && [ "$unpinned" = 1 ]; then
  die "PACKAGE and UNPINNED=1 were both given: a release pins its package or nothing, choose one"
fi
if [ -z "$package" ] && [ "$unpinned" = 0 ]; then
  die "no PACKAGE given: make release PACKAGE=DIR pins the package (dropnestlib.dll and" \
    "everything beside it) that setup.exe will run, and ships it; UNPINNED=1 makes a" \
    "release that runs any dropnestlib.dll found beside it"
fi
if [ -n "$package" ]; then
  [ -d "$package" ] || die "PACKAGE: no such folder: $package"
  python3 "$source_dir/tools/pin_list.py" check "$package" >"$work/package.log" 2>&1 ||
    die_with_log "$work/package.log" "PACKAGE: $package cannot be released as it is (see above)"
  # SETUP_EXE is BUILD_DIR/AdminExe/setup.exe: BUILD_DIR-pinned beside it.
  pinned_dir=${PINNED_DIR:-$(dirname "$(dirname "$input")")-pinned}
else
  [ -f "$input" ] || die "no built setup.exe at $input"
fi
# --- the tree it is made from -------------------------------------------------------
allow_dirty=${ALLOW_DIRTY:-}
case $allow_dirty in
  "" | 0) allow_dirty=0 ;;
  1) ;;
  *) die "ALLOW_DIRTY must be 1 or empty, not '$allow_dirty'" ;;
esac
changed=$(git -C "$source_dir" status --porcelain --untracked-files=no 2>"$work/git.log") ||
  die_with_log "$work/git.log" "cannot ask git whether $source_dir differs from its last commit"
if [ -n "$changed" ] && [ "$allow_dirty" = 0 ]; then
  echo "release: tracked files differ from the last commit ($(git -C "$source_dir" log -1 \
    --format=%h)):" >&2
  echo "$changed" | sed 's/^/release:   /' >&2
  die "a release must be its commit, so that anyone can match the shipped files to it:" \
    "commit the changes (or undo them), or make release ALLOW_DIRTY=1 for a release whose" \
    "build identification says \"modified\""
fi

command -v "$osslsigncode" >/dev/null ||
  die "$osslsigncode not found (Debian package osslsigncode; run tools/install-deps.sh)"

# need_file VARIABLE: the file that the variable names must be readable.
need_file() {
  local path=${!1}
  [ -e "$path" ] || die "$1: no such file: $path"
  [ -f "$path" ] && [ -r "$path" ] || die "$1: cannot read $path"
}

unsigned=${UNSIGNED:-}
case $unsigned in
  "" | 0) unsigned=0 ;;
  1) ;;
  *) die "UNSIGNED must be 1 or empty, not '$unsigned'" ;;
esac
given=""
for variable in SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_PKCS11_MODULE \
  SIGN_PKCS11_ENGINE SIGN_CA_FILE SIGN_TIMESTAMP_URL; do
  [ -z "${!variable:-}" ] || given="$given $variable"
done

# --- what to sign with ---------------------------------------------------------
if [ "$unsigned" = 1 ]; then
  [ -z "$given" ] || die "UNSIGNED=1 and a key (${given# }) were both given: choose one"
  mode=none
elif [ -n "${SIGN_PKCS12:-}" ]; then
  [ -z "${SIGN_CERT:-}${SIGN_KEY:-}${SIGN_PKCS11_MODULE:-}" ] ||
    die "give either SIGN_PKCS12 or SIGN_CERT and SIGN_KEY, not both"
  mode=pkcs12
elif [ -n "${SIGN_CERT:-}" ] && [ -n "${SIGN_KEY:-}" ]; then
  mode=pem
  [ -z "${SIGN_PKCS11_MODULE:-}" ] || mode=pkcs11
elif [ -n "${SIGN_CERT:-}${SIGN_KEY:-}" ]; then
  die "SIGN_CERT and SIGN_KEY go together: the certificate chain and its private key"
else
  die "no certificate given: make release SIGN_CERT=cert.pem SIGN_KEY=key.pem, or" \
    "SIGN_PKCS12=vendor.pfx SIGN_PASSWORD_FILE=pass.txt (UNSIGNED=1 makes an unsigned release)"
fi
[ -n "${SIGN_PKCS11_ENGINE:-}" ] && [ "$mode" != pkcs11 ] &&
  die "SIGN_PKCS11_ENGINE needs SIGN_PKCS11_MODULE"

# Passwords go through files, never the command line, where any user can read them.
passin=pass:
pass_args=()
if [ -n "${SIGN_PASSWORD_FILE:-}" ]; then
  need_file SIGN_PASSWORD_FILE
  # The first line, without the CR that a file written on Windows ends it
  # with: that is no part of the password. (The scratch folder is the
  # user's alone.)
  head -n 1 "$SIGN_PASSWORD_FILE" | sed 's/\r$//' >"$work/password"
  passin="file:$work/password"
  pass_args=(-readpass "$work/password")
fi
[ -z "${SIGN_CA_FILE:-}" ] || need_file SIGN_CA_FILE

# The signer's certificate goes to leaf.pem, the whole chain to chain.pem.
case $mode in
  pem | pkcs11)
    need_file SIGN_CERT
    openssl x509 -in "$SIGN_CERT" -out "$work/leaf.pem" 2>"$work/openssl.log" ||
      die_with_log "$work/openssl.log" "SIGN_CERT: no PEM certificate in $SIGN_CERT"
    cp "$SIGN_CERT" "$work/chain.pem"
    sign_args=(-certs "$SIGN_CERT" -key "$SIGN_KEY")
    ;;&
  pem)
    need_file SIGN_KEY
    openssl pkey -in "$SIGN_KEY" -passin "$passin" -pubout -out "$work/key-public.pem" \
      </dev/null 2>"$work/openssl.log" ||
      die_with_log "$work/openssl.log" "SIGN_KEY: cannot read the private key in $SIGN_KEY" \
        "(not a PEM key, or encrypted and SIGN_PASSWORD_FILE is missing or wrong)"
    openssl x509 -in "$work/leaf.pem" -noout -pubkey >"$work/cert-public.pem"
    cmp -s "$work/key-public.pem" "$work/cert-public.pem" ||
      die "the certificate does not belong to the key: the first certificate in $SIGN_CERT" \
        "($(openssl x509 -in "$work/leaf.pem" -noout -subject)) has another public key than $SIGN_KEY"
    ;;
  pkcs11)
    sign_args+=(-pkcs11module "$SIGN_PKCS11_MODULE")
    [ -z "${SIGN_PKCS11_ENGINE:-}" ] || sign_args+=(-pkcs11engine "$SIGN_PKCS11_ENGINE")
    ;;
  pkcs12)
    need_file SIGN_PKCS12
    # OpenSSL 3 reads the older PFX ciphers (which Windows still writes) only
    # with its legacy provider.
    pfx() {
      openssl pkcs12 -in "$SIGN_PKCS12" -passin "$passin" "$@" </dev/null 2>/dev/null ||
        openssl pkcs12 -legacy -in "$SIGN_PKCS12" -passin "$passin" "$@" </dev/null 2>"$work/openssl.log"
    }
    password="wrong password in SIGN_PASSWORD_FILE"
    [ -n "${SIGN_PASSWORD_FILE:-}" ] || password="a password is needed (SIGN_PASSWORD_FILE)"
    pfx -nokeys -out "$work/chain.pem" ||
      die_with_log "$work/openssl.log" "SIGN_PKCS12: cannot open $SIGN_PKCS12: $password," \
        "or not a PKCS#12 file"
    pfx -nokeys -clcerts -out "$work/leaf.pem" &&
      openssl x509 -in "$work/leaf.pem" -noout 2>/dev/null ||
      die "SIGN_PKCS12: $SIGN_PKCS12 holds no certificate for its key"
    sign_args=(-pkcs12 "$SIGN_PKCS12")
    ;;
esac

# --- the signing time ------------------------------------------------------------
# Fixed, so that two runs of one commit with one key give the same bytes.
epoch=${SOURCE_DATE_EPOCH:-}
epoch_from=SOURCE_DATE_EPOCH
if [ -z "$epoch" ]; then
  epoch=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null) ||
    die "cannot read the last commit's date in $source_dir: set SOURCE_DATE_EPOCH"
  epoch_from="the last commit's date"
fi
[[ $epoch =~ ^[0-9]+$ ]] || die "SOURCE_DATE_EPOCH must be seconds since 1970, not '$epoch'"

timestamp_args=()
reach=""
for url in ${SIGN_TIMESTAMP_URL:-}; do
  timestamp_args+=(-ts "$url")
  reach="; can this machine reach the time-stamping service (SIGN_TIMESTAMP_URL)?"
done

# --- sign, verify, move into place -------------------------------------------------
# sign_file IN OUT [DESCRIPTION]: OUT is IN signed and verified against the
# given certificate (a copy of IN in an unsigned release).
sign_file() {
  local in=$1 out=$2 description=()
  [ $# -lt 3 ] || description=(-n "$3")
  if [ "$mode" = none ]; then
    cp "$in" "$out"
    return
  fi
  "$osslsigncode" sign "${sign_args[@]}" "${pass_args[@]}" "${timestamp_args[@]}" \
    -h sha256 "${description[@]}" -time "$epoch" -in "$in" -out "$out" \
    </dev/null >"$work/sign.log" 2>&1 ||
    die_with_log "$work/sign.log" "signing $in failed (osslsigncode's messages above)$reach"
  # Trusted for the check: the given chain (its root, when it holds one), the
  # vendor's own roots or else the system's; the signer must be the given
  # certificate itself, not merely one the roots vouch for.
  "$osslsigncode" verify "${verify_args[@]}" -in "$out" </dev/null >"$work/verify.log" 2>&1 ||
    die_with_log "$work/verify.log" "the signed $(basename "$in") did not verify against the" \
      "given certificate (a chain that leads to a root not in the system's list needs SIGN_CA_FILE)"
}

if [ "$mode" != none ]; then
  cat "$work/chain.pem" "${SIGN_CA_FILE:-/dev/null}" >"$work/trusted.pem"
  [ -n "${SIGN_CA_FILE:-}" ] || [ ! -r "$SYSTEM_ROOTS" ] || cat "$SYSTEM_ROOTS" >>"$work/trusted.pem"
  leaf_hash=$(openssl x509 -in "$work/leaf.pem" -outform DER | sha256sum | cut -d' ' -f1)
  verify_args=(-CAfile "$work/trusted.pem" -require-leaf-hash "sha256:$leaf_hash")
  # Newer osslsigncode versions fetch revocation lists while verifying; a release
  # build must not depend on the network (Windows checks revocation itself).
  # (Its help ends with a failure status.)
  usage=$("$osslsigncode" -h 2>&1 || true)
  if [[ $usage == *-ignore-crl* ]]; then
    verify_args+=(-ignore-crl)
  fi
fi

# The package: its unsigned PE files signed (signed ones stay as the vendor
# or a supplier signed them), then its pin list built into a setup.exe of
# its own. The release's copy is made here, so that what is pinned is
# exactly what ships.
if [ -n "$package" ]; then
  mkdir "$work/package"
  cp -R "$package/." "$work/package/"
  python3 "$source_dir/tools/pin_list.py" unsigned-pe "$work/package" >"$work/unsigned-pe.txt" \
    2>"$work/package.log" || die_with_log "$work/package.log" "cannot read the package's PE files"
  if [ "$mode" != none ]; then
    while IFS= read -r name; do
      sign_file "$work/package/$name" "$work/signed.tmp"
      mv "$work/signed.tmp" "$work/package/$name"
    done <"$work/unsigned-pe.txt"
  fi
  mkdir -p "$pinned_dir"
  python3 "$source_dir/tools/pin_list.py" make "$work/package" "$work/pin-list.bin" \
    >"$work/package.log" 2>&1 ||
    die_with_log "$work/package.log" "cannot make the pin list of $package"
  # Only a changed list touches the build's copy, so that an unchanged
  # package rebuilds nothing.
  cmp -s "$work/pin-list.bin" "$pinned_dir/pin-list.bin" ||
    cp "$work/pin-list.bin" "$pinned_dir/pin-list.bin"
  pinned_dir=$(cd "$pinned_dir" && pwd)
  { (cd "$source_dir" && cmake --preset windows -B "$pinned_dir" \
    -DSETUP_PIN_LIST="$pinned_dir/pin-list.bin") &&
    cmake --build "$pinned_dir" --target setup; } >"$work/build.log" 2>&1 ||
    die_with_log "$work/build.log" "building the pinned setup.exe in $pinned_dir failed"
  input=$pinned_dir/AdminExe/setup.exe
fi

# The identification is written as the build is configured; a program built
# before the changes would claim to be the commit.
if [ -n "$changed" ] && ! grep -aq '; modified\]' "$input"; then
  die "$input was built before the tree was changed and does not say \"modified\":" \
    "build it again (make release does)"
fi
sign_file "$input" "$work/setup.exe" "$DESCRIPTION"

# The signed file must still be the program that ships (and setup-debug.exe
# never passes for it).
check_args=()
[ "$mode" = none ] || check_args=(--signed)
if ! python3 "$source_dir/tools/check-pe.py" "${check_args[@]}" "$work/setup.exe" >"$work/check-pe.log" 2>&1; then
  grep -v '^ok ' "$work/check-pe.log" >"$work/check-pe-failures.log" || true
  die_with_log "$work/check-pe-failures.log" "$input${check_args:+, signed,} is not the program" \
    "that ships (tools/check-pe.py ${check_args[*]})"
fi
if [ -n "$package" ]; then
  python3 "$source_dir/tools/check-package.py" "$work/setup.exe" "$work/package" \
    >"$work/check-package.log" 2>&1 ||
    die_with_log "$work/check-package.log" "the pinned setup.exe does not match its package"
fi

# Into place: the package first, setup.exe last; SHA256SUMS covers them all.
(
  cd "$work"
  sha256sum setup.exe >SHA256SUMS
  if [ -n "$package" ]; then
    (cd package && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs -r -d '\n' sha256sum) \
      >>SHA256SUMS
  fi
)
if [ -n "$package" ]; then
  (cd "$work/package" && find . -type d | sed 's|^\./||' | grep -v '^\.$' |
    while IFS= read -r folder; do mkdir -p "$release_dir/$folder"; done)
  (cd "$work/package" && find . -type f | while IFS= read -r name; do
    mv "$name" "$release_dir/$name"
  done)
fi
mv "$work/SHA256SUMS" "$release_dir/SHA256SUMS"
mv "$work/setup.exe" "$release_dir/setup.exe"

version=$("$osslsigncode" -v 2>/dev/null | head -n 1)
if [ "$mode" = none ]; then
  {
    echo "release: ********************************************************************"
    echo "release: UNSIGNED=1: $release_dir/setup.exe is NOT SIGNED."
    echo "release: Windows names no publisher when it asks for administrator rights,"
    echo "release: and many company machines refuse to run an unsigned program at all."
    echo "release: ********************************************************************"
  } >&2
else
  signer=$(openssl x509 -in "$work/leaf.pem" -noout -subject -nameopt oneline)
  echo "release: $release_dir/setup.exe signed and verified: ${signer#subject=}, SHA-256,"
  echo "release:   signing time $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC') ($epoch_from)," \
    "${version%%,*}"
  [ ${#timestamp_args[@]} -eq 0 ] ||
    echo "release:   timestamped by ${SIGN_TIMESTAMP_URL}: not byte-reproducible"
fi
if [ -n "$package" ]; then
  echo "release: pinned to the $(($(wc -l <"$release_dir/SHA256SUMS") - 1)) files of $package" \
    "($(wc -l <"$work/unsigned-pe.txt") PE files signed here)"
else
  {
    echo "release: ********************************************************************"
    echo "release: UNPINNED=1: $release_dir/setup.exe is NOT PINNED to a package."
    echo "release: Signed, it runs ANY dropnestlib.dll placed beside it with administrator"
    echo "release: rights, under your name: a download folder or a writable stick is enough."
    echo "release: ********************************************************************"
  } >&2
fi
if [ -n "$changed" ]; then
  {
    echo "release: ********************************************************************"
    echo "release: ALLOW_DIRTY=1: $release_dir/setup.exe is built from a tree that"
    echo "release: DIFFERS FROM ITS LAST COMMIT; its build identification says \"modified\"."
    echo "release: Nobody can match it to a commit: a trial, not a release to ship."
    echo "release: ********************************************************************"
  } >&2
fi
sed 's/^/release: /' "$release_dir/SHA256SUMS"
