#!/bin/sh
# Runs a test program with a throw-away /var and home folder.
#
# The mapping singleton writes the settings file when it is destroyed, and on
# Linux JUCE puts a common settings file under /var (the user's home folder as
# the fallback). Tests must leave nothing behind in either, so the program
# runs in a private mount namespace with a tmpfs over /var and HOME pointing at
# a temporary folder. It also gets a read-only folder holding one file,
# $QUELT_READONLY_DIR/previous.quelt, for tests of failed writes (root ignores
# file permissions, a read-only mount it cannot). The tmpfs is small (16 MB),
# so that tests of a full disk can fill it. JUCE keeps its one-instance lock
# in /var/tmp when there is one, else in the shared /tmp: the private /var has
# its own, so no other copy of the editor on the machine takes over.
#
# usage: with-private-var.sh <program> [arguments...]
set -eu

home=$(mktemp -d "${TMPDIR:-/tmp}/quelt-home.XXXXXX")
trap 'rm -rf "$home"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
export HOME="$home"
export QUELT_READONLY_DIR=/var/quelt-readonly

. "$(dirname "$0")/private-namespace.sh"
ns="$private_namespace --mount"

status=0
$ns sh -c '
    mount -t tmpfs -o size=16m tmpfs /var &&
    mkdir -p /var/tmp &&
    mkdir -p "$QUELT_READONLY_DIR" &&
    printf "previous mapping\n" >"$QUELT_READONLY_DIR/previous.quelt" &&
    mount --bind "$QUELT_READONLY_DIR" "$QUELT_READONLY_DIR" &&
    mount -o remount,bind,ro "$QUELT_READONLY_DIR" &&
    exec "$@"' sh "$@" || status=$?
exit $status
