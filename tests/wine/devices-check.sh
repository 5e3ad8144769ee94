#!/bin/sh
# Runs the device lister in a prefix made by devices-prefix.sh with
# devices.reg and checks that both registered devices are listed with all
# six fields, and that the key without HardwareID is not:
#   devices-check.sh PREFIX LISTER.exe
prefix=$1
lister=$2
here=$(cd "$(dirname "$0")" && pwd)
# The console writes CR LF.
out=$("$here/run.sh" "$prefix" "$lister" | tr -d "\r") || { printf "lister failed: %s\n" "$out"; exit 1; }
printf '%s\n' "$out"
status=0
expect() {
    if ! printf '%s\n' "$out" | grep -qxF "$1"; then
        printf "missing: %s\n" "$1"
        status=1
    fi
}
expect 'result 1'
# hardware ID | friendly name | driver key | description | version | instance ID
expect 'PCI\VEN_F00D&DEV_7A31&SUBSYS_00013EC1&REV_0A|Test Capture Card A|{4d36e96c-e325-11ce-bfc1-08002be10318}\0042|Test Capture Driver|5.1.2600.7|PCI\VEN_F00D&DEV_7A31&SUBSYS_00013EC1&REV_0A\4&1D9A&0&00E0'
expect 'USB\VID_1D9A&PID_00C5&REV_0100|Test Tuner Stick B|{4d36e96c-e325-11ce-bfc1-08002be10318}\0043|Test Stick Driver|1.2.3.4|USB\VID_1D9A&PID_00C5\TEST0001'
for absent in 'Test Device Without Hardware ID' 'TAVRELTEST' 'Test Driver Of No Listed Device'; do
    if printf '%s\n' "$out" | grep -qiF "$absent"; then
        printf "listed although it has no hardware ID: %s\n" "$absent"
        status=1
    fi
done
exit $status
