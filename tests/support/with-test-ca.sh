#!/bin/sh
# Runs a test program that talks HTTPS to tests/support/https_server.py.
#
# The firmware transfers (libcurl, driven by upgrader/HttpsFetch) trust only
# the system's CA bundle, so this makes a throw-away certificate authority and
# a server certificate for 127.0.0.1, and runs the program in a private mount
# namespace in which the system bundle plus that CA is bind-mounted over
# /etc/ssl/certs/ca-certificates.crt. The machine's own trust store is never
# touched: the mount dies with the program.
#
# usage: with-test-ca.sh <work-folder> <program> [arguments...]
# The program finds ca.crt, server.crt and server.key in $QUELT_TEST_CA_DIR.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 <work-folder> <program> [arguments...]" >&2
    exit 2
fi

# Every file below is written afresh, so an earlier run's folder can be reused.
mkdir -p "$1"
work="$(cd "$1" && pwd)"
shift
system_bundle=/etc/ssl/certs/ca-certificates.crt

# openssl writes its files into the current folder; the program starts from the caller's.
quiet() { (cd "$work" && "$@" >openssl.log 2>&1) || { cat "$work/openssl.log" >&2; exit 1; }; }

quiet openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
    -subj "/CN=Trevan Quelt Test CA" -keyout ca.key -out ca.crt \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"

quiet openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -subj "/CN=127.0.0.1" -keyout server.key -out server.csr

cat >"$work/server.ext" <<EXT
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=IP:127.0.0.1
EXT

quiet openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 \
    -extfile server.ext -out server.crt

# Nothing may sign with this CA after the run has started.
rm -f "$work/ca.key" "$work/ca.srl" "$work/server.csr"

cat "$system_bundle" "$work/ca.crt" >"$work/bundle.crt"

QUELT_TEST_CA_DIR="$work"
QUELT_PYTHON="$(command -v python3)"
export QUELT_TEST_CA_DIR QUELT_PYTHON

. "$(dirname "$0")/private-namespace.sh"
namespace="$private_namespace --mount"

# The bind mount is made inside the namespace, just before the program starts.
exec $namespace sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' \
    with-test-ca "$work/bundle.crt" "$system_bundle" "$@"
