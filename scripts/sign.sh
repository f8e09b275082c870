#!/usr/bin/env bash
# Signs Windows programs in place with an Authenticode signature (SHA-256,
# osslsigncode), timestamped when a timestamp server is given, and verifies
# each one afterwards. A signature covers every byte of the program: anything
# changed in it later, or appended to it, breaks the signature, so a program
# is signed last, and signed again after any change.
# Usage: scripts/sign.sh PFX [--password-file F] [--timestamp URL] [--ca-file F] PROGRAM...
#   PFX            the certificate and its key (PKCS#12)
#   --password-file F  the PFX's password, in the first line of F
#   --timestamp URL    an RFC 3161 timestamp server: the signature then stays
#                      valid after the certificate expires
#   --ca-file F    the certificates to verify the signature and its timestamp
#                  against (PEM); by default the system's certificate authorities
set -u
usage() { echo "usage: sign.sh PFX [--password-file F] [--timestamp URL] [--ca-file F] PROGRAM..." >&2; exit 2; }
[ $# -ge 2 ] || usage
pfx=$1
shift
sign=(-pkcs12 "$pfx" -h sha256)
verify=()
programs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --password-file) [ $# -ge 2 ] || usage; sign+=(-readpass "$2"); shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; sign+=(-ts "$2"); shift 2 ;;
    --ca-file) [ $# -ge 2 ] || usage; verify+=(-CAfile "$2" -TSA-CAfile "$2"); shift 2 ;;
    -*) usage ;;
    *) programs+=("$1"); shift ;;
  esac
done
[ ${#programs[@]} -gt 0 ] || usage
command -v osslsigncode >/dev/null 2>&1 || { echo "sign: osslsigncode is missing; run scripts/bootstrap.sh" >&2; exit 1; }
for program in "${programs[@]}"; do
  # osslsigncode writes a new file only.
  temp=$(mktemp -d "$(dirname "$program")/.signing.XXXXXX") || exit 1
  signed=$temp/$(basename "$program")
  if ! out=$(osslsigncode sign "${sign[@]}" -in "$program" -out "$signed" 2>&1); then
    rm -rf "$temp"
    echo "sign: signing $program failed:" >&2
    sed 's/^/  /' <<<"$out" >&2
    exit 1
  fi
  chmod --reference="$program" "$signed" && mv -f "$signed" "$program"
  rm -rf "$temp"
  stamped=""
  if ! out=$(osslsigncode verify "${verify[@]}" -in "$program" 2>&1) ||
     ! grep -qE '^Message digest algorithm *: SHA256' <<<"$out"; then
    echo "sign: the signature of $program does not verify:" >&2
    grep -E 'Error|error|[Ff]ailed' <<<"$out" | sed 's/^/  /' >&2
    exit 1
  fi
  if [[ " ${sign[*]} " == *" -ts "* ]]; then
    grep -qiE 'Timestamp time|signature is timestamped' <<<"$out" || {
      echo "sign: $program carries no timestamp" >&2; exit 1; }
    stamped=", timestamped"
  fi
  echo "sign: $program signed (SHA-256$stamped) and verified"
done
