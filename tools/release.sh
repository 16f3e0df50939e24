#!/usr/bin/env bash
# Signs a built setup.exe with Authenticode, verifies the signature and puts
# the file with its SHA256SUMS into a release folder. `make release` calls it
# after building; README.md, "Releasing", tells a vendor how to use it.
#
# Usage: tools/release.sh SETUP_EXE RELEASE_DIR
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
# A run first removes RELEASE_DIR's setup.exe and SHA256SUMS, signs into a
# scratch folder inside RELEASE_DIR, and moves the files into place only after
# the signature verified: a failed run leaves neither file behind, so an older
# release can never pass for this one. Exit status 0 on success, 1 otherwise.
set -euo pipefail

DESCRIPTION="Ovrat Zandor USB Stick Installation"
SYSTEM_ROOTS=/etc/ssl/certs/ca-certificates.crt

die() {
  echo "release: $*" >&2
  exit 1
}

[ $# -eq 2 ] || die "usage: tools/release.sh SETUP_EXE RELEASE_DIR"
input=$1
release_dir=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
osslsigncode=${OSSLSIGNCODE:-osslsigncode}

mkdir -p "$release_dir"
rm -f "$release_dir/setup.exe" "$release_dir/SHA256SUMS"
work=$(mktemp -d "$release_dir/.release.XXXXXX")
trap 'rm -rf "$work"' EXIT

[ -f "$input" ] || die "no built setup.exe at $input"
command -v "$osslsigncode" >/dev/null ||
  die "$osslsigncode not found (Debian package osslsigncode; run tools/install-deps.sh)"

# need_file VARIABLE: the file that the variable names must be readable.
need_file() {
  local path=${!1}
  [ -e "$path" ] || die "$1: no such file: $path"
  [ -f "$path" ] && [ -r "$path" ] || die "$1: cannot read $path"
}

# Shows a tool's log, indented, before dying with the message.
die_with_log() {
  local log=$1
  shift
  sed 's/^/  | /' "$log" >&2
  die "$@"
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

# --- an unsigned release -----------------------------------------------------
if [ "$unsigned" = 1 ]; then
  [ -z "$given" ] || die "UNSIGNED=1 and a key (${given# }) were both given: choose one"
  cp "$input" "$work/setup.exe"
  (cd "$work" && sha256sum setup.exe >SHA256SUMS)
  mv "$work/SHA256SUMS" "$release_dir/SHA256SUMS"
  mv "$work/setup.exe" "$release_dir/setup.exe"
  {
    echo "release: ********************************************************************"
    echo "release: UNSIGNED=1: $release_dir/setup.exe is NOT SIGNED."
    echo "release: Windows names no publisher when it asks for administrator rights,"
    echo "release: and many company machines refuse to run an unsigned program at all."
    echo "release: ********************************************************************"
  } >&2
  sed 's/^/release: /' "$release_dir/SHA256SUMS"
  exit 0
fi

# --- what to sign with ---------------------------------------------------------
if [ -n "${SIGN_PKCS12:-}" ]; then
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
  passin="file:$SIGN_PASSWORD_FILE"
  pass_args=(-readpass "$SIGN_PASSWORD_FILE")
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
"$osslsigncode" sign "${sign_args[@]}" "${pass_args[@]}" "${timestamp_args[@]}" \
  -h sha256 -n "$DESCRIPTION" -time "$epoch" -in "$input" -out "$work/setup.exe" \
  </dev/null >"$work/sign.log" 2>&1 ||
  die_with_log "$work/sign.log" "signing failed (osslsigncode's messages above)$reach"

# Trusted for the check: the given chain (its root, when it holds one), the
# vendor's own roots or else the system's; the signer must be the given
# certificate itself, not merely one the roots vouch for.
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
"$osslsigncode" verify "${verify_args[@]}" -in "$work/setup.exe" </dev/null >"$work/verify.log" 2>&1 ||
  die_with_log "$work/verify.log" "the signed file did not verify against the given certificate" \
    "(a chain that leads to a root not in the system's list needs SIGN_CA_FILE)"

# The signed file must still be the program that ships (and setup-debug.exe
# never passes for it).
if ! python3 "$source_dir/tools/check-pe.py" --signed "$work/setup.exe" >"$work/check-pe.log" 2>&1; then
  grep -v '^ok ' "$work/check-pe.log" >"$work/check-pe-failures.log" || true
  die_with_log "$work/check-pe-failures.log" "$input, signed, is not the program that ships" \
    "(tools/check-pe.py --signed)"
fi

(cd "$work" && sha256sum setup.exe >SHA256SUMS)
mv "$work/SHA256SUMS" "$release_dir/SHA256SUMS"
mv "$work/setup.exe" "$release_dir/setup.exe"

signer=$(openssl x509 -in "$work/leaf.pem" -noout -subject -nameopt oneline)
version=$("$osslsigncode" -v 2>/dev/null | head -n 1)
echo "release: $release_dir/setup.exe signed and verified: ${signer#subject=}, SHA-256,"
echo "release:   signing time $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC') ($epoch_from)," \
  "${version%%,*}"
[ ${#timestamp_args[@]} -eq 0 ] ||
  echo "release:   timestamped by ${SIGN_TIMESTAMP_URL}: not byte-reproducible"
sed 's/^/release: /' "$release_dir/SHA256SUMS"
