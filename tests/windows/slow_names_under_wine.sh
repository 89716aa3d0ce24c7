#!/bin/sh
# Runs a test program under Wine where every name lookup waits up to five
# seconds, as slow_names.h does on Linux: in a mount namespace of its own,
# the hosts file is a FIFO that a writer opens every five seconds, and the
# name server the loopback address. Needs root; without it the program runs
# as it is.
#   slow_names_under_wine.sh PROGRAM [ARGUMENT...]
set -eu
if [ "$(id -u)" != 0 ] || [ -n "${TESMAR_SLOW_HOSTS:-}" ]; then
    if [ -n "${TESMAR_SLOW_HOSTS:-}" ]; then
        mount --make-rprivate /
        mount --bind "$TESMAR_SLOW_HOSTS" /etc/hosts
        mount --bind "$(dirname "$TESMAR_SLOW_HOSTS")/resolv.conf" /etc/resolv.conf
        export TESMAR_SLOW_NAMES=1
        (while :; do sleep 5; timeout 1 sh -c ": > \"$TESMAR_SLOW_HOSTS\"" || true; done) &
        writer=$!
        status=0
        wine "$@" || status=$?
        kill "$writer"
        exit $status
    fi
    exec wine "$@"
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkfifo "$folder/hosts"
printf 'nameserver 127.0.0.1\noptions attempts:1 timeout:1\n' > "$folder/resolv.conf"
TESMAR_SLOW_HOSTS="$folder/hosts" unshare -m "$0" "$@"
