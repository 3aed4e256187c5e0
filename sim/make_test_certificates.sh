#!/usr/bin/env bash
# Makes the simulator's test certificates in OUTDIR: an authority of its own (ca.pem), a server
# certificate for localhost and 127.0.0.1 (localhost.pem, localhost.key) and one for another host
# (wrong-host.pem, wrong-host.key), both signed by that authority. For tests only: the keys are
# not protected.
# Usage: make_test_certificates.sh OUTDIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
curve=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)

openssl req -x509 "${curve[@]}" -keyout ca.key -out ca.pem -days 3650 -subj "/CN=qrv_sim test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

server_certificate() {
  local name=$1 subject=$2 alt_names=$3
  openssl req "${curve[@]}" -keyout "$name.key" -out "$name.csr" -subj "/CN=$subject" 2>/dev/null
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' \
    "$alt_names" >"$name.ext"
  openssl x509 -req -in "$name.csr" -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 -extfile "$name.ext" \
    -out "$name.pem" 2>/dev/null
  rm -f "$name.csr" "$name.ext"
}
server_certificate localhost localhost "DNS:localhost,IP:127.0.0.1"
server_certificate wrong-host wrong.example "DNS:wrong.example"
rm -f ca.key ca.srl
