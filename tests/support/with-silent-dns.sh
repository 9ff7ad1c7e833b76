#!/bin/sh
# Runs a test program in a world where host names never resolve: a private
# network namespace (loopback only) and mount namespace in which
# /etc/resolv.conf names a name server on 127.0.0.1 that waits 30 s for each
# answer. The program itself holds that server's port without ever answering
# (QUELT_SILENT_DNS is set for it to know), so a lookup hangs for the full
# 30 s, as behind a name server that has gone quiet. The machine's own
# network and resolver settings are never touched.
#
# usage: with-silent-dns.sh <work-folder> <program> [arguments...]
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 <work-folder> <program> [arguments...]" >&2
    exit 2
fi

mkdir -p "$1"
conf="$(cd "$1" && pwd)/resolv.conf"
shift
printf 'nameserver 127.0.0.1\noptions timeout:30 attempts:1\n' >"$conf"

QUELT_SILENT_DNS=1
export QUELT_SILENT_DNS

. "$(dirname "$0")/private-namespace.sh"
namespace="$private_namespace --mount --net"

exec $namespace sh -c 'ip link set lo up && mount --bind "$1" /etc/resolv.conf && shift && exec "$@"' \
    with-silent-dns "$conf" "$@"
