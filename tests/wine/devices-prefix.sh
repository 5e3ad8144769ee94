#!/bin/sh
# Makes a Wine prefix for tests with registry files loaded into it:
#   devices-prefix.sh PREFIX FILE.reg...
# PREFIX belongs to this script: it is made once with make-prefix.sh and the
# files loaded with regedit; it is made again from scratch only when the
# files change, so keys removed from them do not linger. Loading the same
# files again changes nothing, so other tests may share such a prefix.
set -e
prefix=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
stamp="$prefix/.registry-loaded"
want=$(cat "$@" | cksum)
if [ -f "$prefix/.ready" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
    exit 0
fi
rm -rf "$prefix"
"$here/make-prefix.sh" "$prefix"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
for file in "$@"; do
    # Wine's drive Z: is the Unix root.
    path=$(cd "$(dirname "$file")" && pwd)/$(basename "$file")
    /usr/lib/wine/wine64 regedit /S "Z:$(printf '%s' "$path" | tr / '\\')"
done
# The registry reaches the prefix's files when the server ends.
/usr/lib/wine/wineserver -w
echo "$want" >"$stamp"
