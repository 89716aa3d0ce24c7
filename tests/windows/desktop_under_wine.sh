#!/usr/bin/env bash
# Runs a Windows test program under Wine with an Xvfb of its own as the
# display, in a Wine prefix of its own: the wine server keeps a prefix's
# display settings while it runs. Arguments: the program, the prefix folder.
set -euo pipefail
program=$1 prefix=$2
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 1440x900x24 -nolisten tcp 2>/dev/null; }
xvfb=$XVFB_PID
read -r number <&"${XVFB[0]}"

# Panels are answered from here, at the test's request: a file of three
# lines (the panel's title, the key to press, a text to type first or an
# empty line) in this folder. Typing and the key go a moment apart: the file
# panel missed a key pressed right after a typed path.
answers="$prefix-answers"
rm -rf "$answers" && mkdir -p "$answers"
(
    while :; do
        for request in "$answers"/*.request; do
            [ -e "$request" ] || continue
            { IFS= read -r title; IFS= read -r key; IFS= read -r text; } < "$request"
            rm -f "$request"
            if [ -n "$text" ]; then
                DISPLAY=":$number" timeout 20 xdotool search --sync --name "^$title\$" windowfocus --sync %1 sleep 1 \
                    type --delay 30 "$text" || true
                sleep 1
            fi
            DISPLAY=":$number" timeout 20 xdotool search --sync --name "^$title\$" windowfocus --sync %1 sleep 1 \
                key "$key" || true
        done
        sleep 0.2
    done
) &
answerer=$!

finish() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    kill "$answerer" "$xvfb" 2>/dev/null || true
}
trap finish EXIT
DISPLAY=":$number" WINEPREFIX="$prefix" TESMAR_PANEL_ANSWERS="Z:$answers" wine "$program"
