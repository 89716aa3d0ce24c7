#!/usr/bin/env bash
# Runs a Windows test program under Wine with an Xvfb of its own as the
# display, in a Wine prefix of its own: the wine server keeps a prefix's
# display settings while it runs. Arguments: the program, the prefix folder.
set -euo pipefail
program=$1 prefix=$2
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 1440x900x24 -nolisten tcp 2>/dev/null; }
xvfb=$XVFB_PID
read -r number <&"${XVFB[0]}"
finish() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap finish EXIT
DISPLAY=":$number" WINEPREFIX="$prefix" wine "$program"
