#!/bin/sh
# sendBlend of the DLL under Wine: -3 while no companion listens, then the
# message arrives whole at a companion on the loopback address, which answers.
# Arguments: plugin-host.exe, the DLL, a scratch folder.
set -eu
host=$1 dll=$2 work=$3
rm -rf "$work" && mkdir -p "$work"

out=$(wine "$host" "Z:$dll" sendBlend --buf1 "render scene" 2>&1)
case $out in *"sendBlend -> -3 "*) ;; *) echo "without a companion: $out"; exit 1 ;; esac

/usr/bin/python3 - "$work" <<'END' &
import socket, sys
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 5555))
listener.listen(1)
listener.settimeout(30)
open(sys.argv[1] + "/ready", "w").close()
peer, _ = listener.accept()
received = b""
while True:
    chunk = peer.recv(8192)
    if not chunk:
        break
    if not received:
        peer.sendall(b"done")
    received += chunk
open(sys.argv[1] + "/received", "wb").write(received)
END
listener=$!
while [ ! -e "$work/ready" ]; do
    kill -0 "$listener" 2>/dev/null || { echo "the companion did not start"; exit 1; }
    sleep 0.1
done
out=$(wine "$host" "Z:$dll" sendBlend --buf1 "render scene" 2>&1)
wait "$listener"
case $out in *"sendBlend -> 0 "*) ;; *) echo "with a companion: $out"; exit 1 ;; esac
[ "$(cat "$work/received")" = "render scene" ] || { echo "received: $(cat "$work/received")"; exit 1; }
echo "sendBlend reached the companion"
