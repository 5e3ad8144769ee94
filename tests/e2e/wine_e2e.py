#!/usr/bin/env python3
"""The Windows program end to end under Wine: Tavrel.exe in a kit directory,
made-up devices registered in a prefix of its own, the cross-built recorder
as installer, diagnostics from WINEDEBUG=+debugstr.

wine_e2e.py PREFIX TAVREL_EXE RECORDER_EXE SPAWN_EXE [SCENARIO...]
"""
import os
import re
import subprocess
import sys
import tempfile

from kit import (MODEL_KEYS, Failed, expect, expect_eq, expect_missing_keys, ini, make_kit,
                 run_scenarios, snapshot, split_diagnostics, wait_for_records)

HERE = os.path.dirname(os.path.abspath(__file__))
PREFIX, TAVREL, RECORDER, SPAWN = (os.path.abspath(a) for a in sys.argv[1:5])
ROOT = tempfile.mkdtemp(prefix="tavrel-wine-e2e-")
WINE = "/usr/lib/wine/wine64"
ENV = dict(os.environ, WINEPREFIX=PREFIX, WINEDLLOVERRIDES="mscoree,mshtml=")
MEDIA = "{4d36e96c-e325-11ce-bfc1-08002be10318}"
# Made-up devices: a PCI tuner with a driver and a USB device without one.
DEVICES_REG = r"""REGEDIT4

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\PCI\VEN_1D9A&DEV_7A01&SUBSYS_00423EC1&REV_02\4&1d9a&0&0018]
"HardwareID"=hex(7):50,43,49,5c,56,45,4e,5f,31,44,39,41,26,44,45,56,5f,37,41,30,31,26,53,55,42,53,59,53,5f,30,30,34,32,33,45,43,31,26,52,45,56,5f,30,32,00,00
"ClassGUID"="%(media)s"
"Driver"="%(media)s\\0042"
"FriendlyName"="Test Tuner 7A01"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Class\%(media)s\0042]
"DriverDesc"="Test Tuner Driver"
"DriverVersion"="1.2.3.4"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\USB\VID_F00D&PID_0042\5&f00d&0&2]
"HardwareID"=hex(7):55,53,42,5c,56,49,44,5f,46,30,30,44,26,50,49,44,5f,30,30,34,32,26,52,45,56,5f,30,31,30,30,00,00
"ClassGUID"="{36fc9e60-c465-11cf-8056-444553540000}"
""" % {"media": MEDIA}
ALLOWED = {"Read ini fail", "Fail to Locate DeviceNode", "Fail to Reenumerate DeviceNode"}


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def prepare_prefix():
    subprocess.run([os.path.join(HERE, "..", "wine", "make-prefix.sh"), PREFIX], check=True)
    marker = os.path.join(PREFIX, ".tavrel-devices")
    if os.path.exists(marker):
        return
    reg = os.path.join(ROOT, "devices.reg")
    with open(reg, "w", newline="\r\n") as f:
        f.write(DEVICES_REG)
    subprocess.run([WINE, "regedit", "/S", wine_path(reg)], env=dict(ENV, WINEDEBUG="-all"),
                   check=True, capture_output=True)
    subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=ENV, check=True)
    open(marker, "w").close()


def unescape(text):
    """Wine's debugstr_a: C escapes, \\xNN for other bytes."""
    out = bytearray()
    i = 0
    raw = text.encode("latin-1")
    simple = {ord("n"): 10, ord("r"): 13, ord("t"): 9, ord("\\"): 92, ord('"'): 34}
    while i < len(raw):
        c = raw[i]
        if c == 92 and i + 1 < len(raw):
            n = raw[i + 1]
            if n in simple:
                out.append(simple[n])
                i += 2
                continue
            if n == ord("x"):
                out.append(int(raw[i + 2:i + 4], 16))
                i += 4
                continue
            if n in b"01234567":
                j = i + 1
                while j < len(raw) and j < i + 4 and raw[j] in b"01234567":
                    j += 1
                out.append(int(raw[i + 1:j], 8))
                i = j
                continue
        out.append(c)
        i += 1
    return out.decode("latin-1")


def run(kit, command, channels=""):
    """Runs the kit's Tavrel.exe with exactly `command` (%s stands for the
    program path) as its command line. Returns (diagnostics, snapshot before,
    stderr)."""
    program = wine_path(os.path.join(kit, "Tavrel.exe"))
    before = snapshot(kit)
    env = dict(ENV, WINEDEBUG="-all,+debugstr" + channels, TAVREL_SPAWN_PROGRAM=program,
               TAVREL_SPAWN_COMMAND=command.replace("%s", program))
    proc = subprocess.run([WINE, SPAWN], env=env, cwd=ROOT, capture_output=True, timeout=120)
    err = proc.stderr.decode("latin-1")
    expect_eq(proc.returncode, 0, "exit code")
    records = [unescape(m) for m in
               re.findall(r'warn:debugstr:OutputDebugStringA "(.*)"$', err, re.M)]
    diagnostics = split_diagnostics(records)
    for d in diagnostics:
        expect(d[0] in ALLOWED, "unexpected record %r" % (d,))
    return diagnostics, before, err


def launches(got):
    """(installer, raw command line, arguments) in the order of creation."""
    records = sorted(((int(r["P"][0]), i, r) for i, rs in got.items() for r in rs),
                     key=lambda t: t[0])
    return [(i, r["C"][0].decode("latin-1"), [a.decode("latin-1") for a in r["A"][1:]])
            for _, i, r in records]


def params_of(kit, installer, command_line):
    """The parameter text Tavrel gave ShellExecuteA, from the child's command line."""
    quoted = '"%s"' % wine_path(os.path.join(kit, *installer.split("\\")))
    expect(command_line.startswith(quoted), "child command line %r" % command_line)
    rest = command_line[len(quoted):]
    return rest[1:] if rest.startswith(" ") else rest


INSTALLERS = ["Driver\\Setup.exe", "Beta.exe", "Gamma.exe"]


def one_entry_matches_and_no_window_is_shown():
    kit = make_kit(ROOT, "match", TAVREL,
                   ini((1, "Alpha,ven_1d9a&dev_7a01,Driver\\Setup.exe"),
                       (2, "Beta,USB\\VID_F00D&PID_0099,Beta.exe"),
                       (3, "Gamma,PCI\\VEN_0ABD,Gamma.exe")), INSTALLERS, RECORDER)
    diagnostics, before, err = run(kit, '"%s" /S', ",+pid,+win")
    got = wait_for_records(kit, {"Driver\\Setup.exe": 1, "Beta.exe": 0, "Gamma.exe": 0}, 1.0)
    found = launches(got)
    expect_eq([(i, a) for i, _, a in found], [("Driver\\Setup.exe", ["/S"])], "launches")
    expect_missing_keys(diagnostics, 4)
    expect_eq(snapshot(kit), before, "files of the kit")
    check_no_window_shown(err)


def check_no_window_shown(err):
    """In Tavrel's own process: the dialog (class #8002) is created without
    WS_VISIBLE, and no top-level window of the process is ever shown."""
    pid = None
    for line in err.splitlines():
        if "OutputDebugStringA" in line:
            pid = line.split(":")[0]
            break
    expect(pid is not None, "the program's process in the trace")
    own = [l for l in err.splitlines() if l.startswith(pid + ":")]
    dialog_style = None
    top_level = set()
    pending = None
    for line in own:
        m = re.search(r"WIN_CreateWindowEx .* style=([0-9a-f]{8}) .* parent=([0-9A-F]{16})", line)
        if m:
            pending = int(m.group(2), 16) == 0
            if " #8002 " in line:
                dialog_style = int(m.group(1), 16)
            continue
        m = re.search(r"NtUserCreateWindowEx hwnd (0x[0-9a-f]+) ", line)
        if m and pending is not None:
            if pending:
                top_level.add(m.group(1))
            pending = None
    expect(dialog_style is not None, "the dialog's window was created")
    expect_eq(dialog_style & 0x10000000, 0, "WS_VISIBLE in the dialog's style")
    expect_eq(dialog_style & 0x00C00000, 0x00800000, "border, no caption")
    for line in own:
        m = re.search(r"show_window hwnd=(0x[0-9a-f]+), cmd=(\d+)", line)
        if m and m.group(1) in top_level:
            expect_eq(m.group(2), "0", "ShowWindow of a top-level window: " + line)
        m = re.search(r"calc_winpos hwnd (0x[0-9a-f]+), .* flags ([0-9a-f]{8})", line)
        if m and m.group(1) in top_level:
            expect_eq(int(m.group(2), 16) & 0x40, 0, "SWP_SHOWWINDOW: " + line)


def nothing_matches_launches_every_installer_in_key_order():
    installers = ["Driver\\Setup.exe", "Beta.exe", "Gamma.exe", "Delta.exe"]
    kit = make_kit(ROOT, "fallback", TAVREL,
                   ini((1, "Alpha,VEN_1D9A&DEV_7A02,Driver\\Setup.exe"),
                       (2, "Beta,VID_F00D&PID_0043,Beta.exe"),
                       (4, "Gamma,PCI\\VEN_0ABD,Gamma.exe"),
                       (7, "Delta,NO_SUCH_DEVICE,Delta.exe")), installers, RECORDER)
    diagnostics, before, _ = run(kit, '"%s" -x')
    got = wait_for_records(kit, {i: 1 for i in installers}, 1.0)
    expect_eq([(i, a) for i, _, a in launches(got)], [(i, ["-x"]) for i in installers],
              "launches in key order")
    expect_eq(len([d for d in diagnostics if d[0] == "Read ini fail"]), 46, "keys 3, 5, 6, 8-50")
    expect_eq(snapshot(kit), before, "files of the kit")


def no_model_list():
    kit = make_kit(ROOT, "no model list", TAVREL, None, INSTALLERS, RECORDER)
    diagnostics, before, _ = run(kit, '"%s" a')
    got = wait_for_records(kit, {i: 0 for i in INSTALLERS}, 2.0)
    expect_eq(launches(got), [], "launches")
    expect_eq(len([d for d in diagnostics if d[0] == "Read ini fail"]), MODEL_KEYS,
              "one record per key")
    expect_eq(snapshot(kit), before, "files of the kit")


# Command lines (after the program name) and the parameter text the installer
# must get. Blanks and tabs after the name go; everything else stays.
COMMAND_LINES = [
    ('"%s" \t  first "sec ond" \t', 'first "sec ond" \t'),
    ('"%s"two', "two"),
    ('"%s" a "b c" \\"d\\" e\\\\"f g" $x;|&<>*?`id` %PATH%   ',
     'a "b c" \\"d\\" e\\\\"f g" $x;|&<>*?`id` %PATH%   '),
]


def command_line_text_passes_on_unchanged():
    installer = "Drivers\\Tuner 2.0\\Set up.exe"
    kit = make_kit(ROOT, "My Kit v1.2 .. (x86)", TAVREL,
                   ini((1, "Alpha,VID_F00D&PID_0042,%s" % installer)), [installer], RECORDER)
    for n, (command, params) in enumerate(COMMAND_LINES, 1):
        diagnostics, before, _ = run(kit, command)
        got = wait_for_records(kit, {installer: n}, 0.5)
        # One log, one run after the other: the newest record is the last.
        found = got[installer]
        expect_eq(len(found), n, "launches after %r" % command)
        expect_eq(params_of(kit, installer, found[-1]["C"][0].decode("latin-1")), params,
                  "parameters of %r" % command)
        expect_missing_keys(diagnostics, 2)
        expect_eq(snapshot(kit), before, "files of the kit")
    # And what the installer's C runtime made of the last one.
    expect_eq([a.decode("latin-1") for a in found[-1]["A"][1:]], ["a", "b c", '"d"', 'e\\f g', "$x;|&<>*?`id`", "%PATH%"],
              "arguments")


def bare_program_name_and_no_arguments():
    kit = make_kit(ROOT, "bare", TAVREL, ini((1, "Alpha,NOMATCH,Beta.exe"),
                                              (2, "Beta,NOMATCH2,Gamma.exe")),
                   ["Beta.exe", "Gamma.exe"], RECORDER)
    _, _, _ = run(kit, "%s")
    got = wait_for_records(kit, {"Beta.exe": 1, "Gamma.exe": 1}, 0.5)
    found = launches(got)
    expect_eq([(i, a) for i, _, a in found], [("Beta.exe", []), ("Gamma.exe", [])], "launches")
    for i, line, _ in found:
        expect_eq(params_of(kit, i, line), "", "parameters without arguments")
    # A name without quotes ends at the first blank or tab.
    run(kit, "%s\t \tx y ")
    got = wait_for_records(kit, {"Beta.exe": 2, "Gamma.exe": 2}, 0.5)
    for i, records in got.items():
        expect_eq(len(records), 2, "launches of " + i)
        expect_eq(params_of(kit, i, records[1]["C"][0].decode("latin-1")), "x y ",
                  "parameters after a bare name")


SCENARIOS = [
    ("one entry matches, no window shown", one_entry_matches_and_no_window_is_shown),
    ("nothing matches: every installer in key order",
     nothing_matches_launches_every_installer_in_key_order),
    ("no Models.ini: 50 records, nothing launched", no_model_list),
    ("command-line text unchanged, kit path with blanks and dots",
     command_line_text_passes_on_unchanged),
    ("bare program name, no arguments", bare_program_name_and_no_arguments),
]

if __name__ == "__main__":
    prepare_prefix()
    failed = run_scenarios(SCENARIOS, sys.argv[5:])
    subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=ENV)
    if failed == 0:
        import shutil
        shutil.rmtree(ROOT, ignore_errors=True)
    else:
        print("kits left in", ROOT)
    sys.exit(1 if failed else 0)
