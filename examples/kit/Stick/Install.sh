#!/bin/sh
# A stand-in installer: appends the arguments it was given, each in
# brackets, to "<this script>.log".
{
    printf '%s' "$(date '+%H:%M:%S') got $# argument(s):"
    for arg in "$@"; do printf ' [%s]' "$arg"; done
    printf '\n'
} >>"$0.log"
