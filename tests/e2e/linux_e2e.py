#!/usr/bin/env python3
"""The Linux program end to end: tavrel in a kit directory under umockdev-run
with made-up devices, recording installers, and what they were given.

linux_e2e.py TAVREL RECORDER DEVICE_FILE [SCENARIO...]
"""
import os
import re
import subprocess
import sys
import tempfile

from kit import (MODEL_KEYS, Failed, expect, expect_eq, expect_missing_keys, ini, make_kit,
                 run_scenarios, snapshot, split_diagnostics, wait_for_records)

TAVREL, RECORDER, DEVICES = (os.path.abspath(a) for a in sys.argv[1:4])
ROOT = tempfile.mkdtemp(prefix="tavrel-e2e-")
# Made-up devices of DEVICES: a tuner PCI\VEN_1D9A&DEV_7A01&SUBSYS_00423EC1&REV_02,
# a host controller PCI\VEN_0ABC&DEV_0001..., a USB device USB\VID_F00D&PID_0042&REV_0100.
ALLOWED = {"Read ini fail", "Fail to Locate DeviceNode", "Fail to Reenumerate DeviceNode"}


def run(kit, args):
    """Runs the kit's tavrel; returns (exit code, diagnostic records)."""
    before = snapshot(kit)
    proc = subprocess.run(["umockdev-run", "--device", DEVICES, "--",
                           os.path.join(kit, "tavrel")] + args,
                          cwd=ROOT, capture_output=True, timeout=60)
    expect_eq(proc.returncode, 0, "exit code")
    err = proc.stderr.decode("latin-1")
    pattern = r"Error: .*?\nLine:  \d+\nFile:  .*?\nCode:   \d+\n"
    records = [r[:-1] for r in re.findall(pattern, err, re.S)]
    expect_eq(re.sub(pattern, "", err, flags=re.S), "", "stderr besides the records")
    diagnostics = split_diagnostics(records)
    for d in diagnostics:
        expect(d[0] in ALLOWED, "unexpected record %r" % (d,))
        expect(d[2].endswith("EnumNimoTVTuner.cpp"), "source file of %r" % (d,))
    return diagnostics, before


def launches(got):
    """(installer, arguments) of every record, in the order of creation."""
    all_records = sorted(((int(r["P"][0]), i, r) for i, rs in got.items() for r in rs),
                         key=lambda t: t[0])
    return [(i, [a.decode("latin-1") for a in r["A"][1:]]) for _, i, r in all_records]


def check_kit_unchanged(kit, before):
    expect_eq(snapshot(kit), before, "files of the kit after the run")


INSTALLERS = ["Driver\\Setup.sh", "Beta.sh", "Gamma.sh"]


def one_entry_matches():
    kit = make_kit(ROOT, "match", TAVREL,
                   ini((1, "Alpha,ven_1d9a&dev_7a01,Driver\\Setup.sh"),
                       (2, "Beta,USB\\VID_F00D&PID_0099,Beta.sh"),
                       (3, "Gamma,PCI\\VEN_0ABD,Gamma.sh")), INSTALLERS, RECORDER)
    diagnostics, before = run(kit, ["/S"])
    got = wait_for_records(kit, {"Driver\\Setup.sh": 1, "Beta.sh": 0, "Gamma.sh": 0}, 1.0)
    expect_eq(launches(got), [("Driver\\Setup.sh", ["/S"])], "launches")
    record = got["Driver\\Setup.sh"][0]
    expect_eq(record["A"][0].decode(), os.path.join(kit, "Driver", "Setup.sh"), "installer path")
    expect_eq([r["0"][0] for r in [record]], [b"/dev/null"], "installer's standard input")
    expect_missing_keys(diagnostics, 4)
    check_kit_unchanged(kit, before)


def nothing_matches_launches_every_installer_in_key_order():
    installers = ["Driver\\Setup.sh", "Beta.sh", "Gamma.sh", "Delta.sh"]
    kit = make_kit(ROOT, "fallback", TAVREL,
                   ini((1, "Alpha,VEN_1D9A&DEV_7A02,Driver\\Setup.sh"),
                       (2, "Beta,VID_F00D&PID_0043,Beta.sh"),
                       (4, "Gamma,PCI\\VEN_0ABD,Gamma.sh"),
                       (7, "Delta,NO_SUCH_DEVICE,Delta.sh")), installers, RECORDER)
    diagnostics, before = run(kit, ["-x"])
    got = wait_for_records(kit, {i: 1 for i in installers}, 1.0)
    expect_eq(launches(got), [(i, ["-x"]) for i in installers], "launches in key order")
    expect_eq(len([d for d in diagnostics if d[0] == "Read ini fail"]), 46, "keys 3, 5, 6, 8-50")
    check_kit_unchanged(kit, before)


def no_model_list():
    kit = make_kit(ROOT, "no model list", TAVREL, None, INSTALLERS, RECORDER)
    diagnostics, before = run(kit, ["a"])
    got = wait_for_records(kit, {i: 0 for i in INSTALLERS}, 2.0)
    expect_eq(launches(got), [], "launches")
    expect_eq([d[0] for d in diagnostics if d[0] == "Read ini fail"], ["Read ini fail"] * MODEL_KEYS,
              "one record per key")
    check_kit_unchanged(kit, before)


ARGUMENTS = ["two words", "\"quoted\"", "say \"hi\" there", "back\\slash\\", "trail\\\\\"q",
             "$HOME;|&<>*?`id`(x)", "tab\there", "", "it's", "  lead and trail  ", "%PATH%"]
# umockdev-run refuses arguments that are not ASCII here (it reads them as
# text of the locale), so bytes above 127 are left to the launcher's tests.


def arguments_arrive_unchanged_in_a_kit_path_with_blanks_and_dots():
    installer = "Drivers\\Tuner 2.0\\Set up.sh"
    kit = make_kit(ROOT, "My Kit v1.2 .. (x86)", TAVREL,
                   ini((1, "Alpha,VID_F00D&PID_0042,%s" % installer)), [installer], RECORDER)
    diagnostics, before = run(kit, ARGUMENTS)
    got = wait_for_records(kit, {installer: 1}, 1.0)
    expect_eq(launches(got), [(installer, ARGUMENTS)], "arguments")
    expect_missing_keys(diagnostics, 2)
    check_kit_unchanged(kit, before)


def no_arguments():
    kit = make_kit(ROOT, "no arguments", TAVREL, ini((1, "Alpha,NOMATCH,Beta.sh"),
                                                      (2, "Beta,NOMATCH2,Gamma.sh")),
                   ["Beta.sh", "Gamma.sh"], RECORDER)
    diagnostics, before = run(kit, [])
    got = wait_for_records(kit, {"Beta.sh": 1, "Gamma.sh": 1}, 1.0)
    expect_eq(launches(got), [("Beta.sh", []), ("Gamma.sh", [])], "launches")
    expect_missing_keys(diagnostics, 3)
    check_kit_unchanged(kit, before)


SCENARIOS = [
    ("one entry matches", one_entry_matches),
    ("nothing matches: every installer in key order",
     nothing_matches_launches_every_installer_in_key_order),
    ("no Models.ini: 50 records, nothing launched", no_model_list),
    ("arguments unchanged, kit path with blanks and dots",
     arguments_arrive_unchanged_in_a_kit_path_with_blanks_and_dots),
    ("no arguments", no_arguments),
]

if __name__ == "__main__":
    failed = run_scenarios(SCENARIOS, sys.argv[4:])
    if failed == 0:
        import shutil
        shutil.rmtree(ROOT, ignore_errors=True)
    else:
        print("kits left in", ROOT)
    sys.exit(1 if failed else 0)
