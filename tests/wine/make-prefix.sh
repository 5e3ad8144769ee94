#!/bin/sh
# Makes a throw-away Wine prefix for the tests, with no display driver, so
# that windows (the program's hidden dialog among them) can be created here.
set -e
prefix=$1
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/.ready" ]; then
    rm -rf "$prefix"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    touch "$prefix/.ready"
fi
