#!/bin/sh
# Runs a Windows program under Wine in the test prefix: run.sh PREFIX PROGRAM [ARGS...]
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
