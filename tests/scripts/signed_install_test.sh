#!/usr/bin/env bash
# A signed Setup.exe under Wine: signed with a throwaway code-signing
# certificate made here and timestamped by a timestamp server of the test's
# own (scripts/sign.sh, as the release is signed), it installs the example,
# and the uninstaller it leaves in the installation folder is the signed file
# byte for byte, so its signature still verifies. A copy with one byte
# changed must fail the verification: the check does look.
# Usage: signed_install_test.sh BUILD-TREE SETUP.EXE WIZARD_E2E.EXE
set -u
build=$(realpath "$1") setup=$(realpath "$2") walker=$(realpath "$3")
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/cmake/wine-env.sh"
work=$build/e2e-work/signed
rm -rf "$work"
mkdir -p "$work/package"
cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# A self-signed certificate for a purpose: cert NAME PURPOSE (NAME.pem, NAME-key.pem).
cert() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1-key.pem" -out "$1.pem" -days 2 -subj "/CN=Orvane $1 test" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=$2" >>openssl.log 2>&1 ||
    fail "openssl req: $(cat openssl.log)"
}
cert signer codeSigning
echo "a password" >password.txt
openssl pkcs12 -export -inkey signer-key.pem -in signer.pem -out signer.pfx -passout file:password.txt \
  >>openssl.log 2>&1 || fail "openssl pkcs12: $(cat openssl.log)"

# The timestamp server: openssl ts answers the RFC 3161 requests that a small
# HTTP server on a free local port hands to it.
cert tsa critical,timeStamping
echo 01 >tsa-serial
cat >tsa.cnf <<EOF
[ tsa ]
default_tsa = here
[ here ]
serial = $work/tsa-serial
signer_cert = $work/tsa.pem
signer_key = $work/tsa-key.pem
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
ess_cert_id_alg = sha256
EOF
cat >tsa.py <<'PY'
import http.server, subprocess, sys
class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1], "-queryfile", "/dev/stdin",
                                "-out", "/dev/stdout"], input=query, capture_output=True).stdout
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.end_headers()
        self.wfile.write(reply)
server = http.server.HTTPServer(("127.0.0.1", 0), Reply)
print(server.server_port, flush=True)
server.serve_forever()
PY
python3 tsa.py tsa.cnf >tsa-port 2>tsa.log &
tsa=$!
trap 'kill $tsa 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s tsa-port ] && break; sleep 0.1; done
[ -s tsa-port ] || fail "the timestamp server did not start: $(cat tsa.log)"
cat signer.pem tsa.pem >authorities.pem

package=$work/package
cp "$root/examples/Setup.ini" "$package/Setup.ini"
cp -R "$root/examples/payload" "$package/payload"
cp "$setup" "$package/Setup.exe"
bash "$root/scripts/sign.sh" signer.pfx --password-file password.txt --ca-file authorities.pem \
  --timestamp "http://127.0.0.1:$(cat tsa-port)/" "$package/Setup.exe" || fail "signing"
verify() { osslsigncode verify -CAfile authorities.pem -TSA-CAfile authorities.pem -in "$1" >"$2" 2>&1; }
cp "$package/Setup.exe" tampered.exe
printf 'X' | dd of=tampered.exe bs=1 seek=$(( $(stat -c %s tampered.exe) / 3 )) conv=notrunc status=none
verify tampered.exe tampered.log && fail "a signed file with one byte changed still verifies"

arch=$(orvane_pe_arch "$setup") || fail "$setup is not a Windows program"
orvane_wine_env "$arch" "$build/wineprefix" || exit 1
# Wine's output goes to files: its service processes would hold a pipe open.
timeout 300 "$WINELOADER" "$walker" --install "$(winpath "$package/Setup.exe")" >install.log 2>&1 </dev/null ||
  fail "the installation walk failed: $(cat install.log)"
folder=$(tail -n 1 install.log | tr -d '\r' | iconv -f CP932 -t UTF-8) || fail "no installation folder in install.log"
case "$folder" in
  [Cc]:\\*) installed="$WINEPREFIX/drive_c/$(printf '%s' "${folder:3}" | tr '\\' '/')/Setup.exe" ;;
  *) fail "the installation folder '$folder' is not on drive C" ;;
esac
[ -f "$installed" ] || fail "no uninstaller at $installed"
cmp "$package/Setup.exe" "$installed" || fail "the installed uninstaller differs from the signed Setup.exe"
verify "$installed" installed-verify.log || fail "the installed uninstaller's signature: $(grep -i error installed-verify.log)"
grep -qiE 'Timestamp time|signature is timestamped' installed-verify.log || fail "the installed uninstaller has no timestamp"
echo "ok   the uninstaller in $folder is the signed Setup.exe, and its timestamped signature verifies"

# Wine reads its command line in the Unix locale (UTF-8).
timeout 300 "$WINELOADER" "$walker" --uninstall "$folder\\Setup.exe" >uninstall.log 2>&1 </dev/null || fail "the uninstallation walk failed: $(cat uninstall.log)"
echo "ok   uninstalled again"
