#!/usr/bin/env python3
"""End-to-end tests of tavrel-check: kits built in a temporary directory,
the device inventory replayed from a saved list so that results do not
depend on the machine, and on Linux a live run under umockdev saved and
replayed.

check_e2e.py TOOL [--runner CMD...] [--umockdev FILE] [--update]

TOOL is tavrel-check or TavrelCheck.exe; --runner puts a command in front of
it (the Wine runner). --update rewrites the golden files from this run.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEVICES = os.path.join(HERE, "machine.devices")
GOLDEN_TEXT = os.path.join(HERE, "golden-match.txt")
GOLDEN_JSON = os.path.join(HERE, "golden-lint.json")
# The kit path the golden files are written with.
KIT_MARK = "/tmp/kit-XXXXXXXX/"
PARAMS = '/quiet /dir "C:\\Program Files\\Tuner" '

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


class Tool:
    def __init__(self, path, runner):
        self.command = runner + [path]

    def run(self, *args, cwd=None):
        done = subprocess.run(self.command + list(args), cwd=cwd, capture_output=True,
                              timeout=120)
        out = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
        err = done.stderr.decode("utf-8", "replace").replace("\r\n", "\n")
        return done.returncode, out, err

    def json(self, *args):
        rc, out, err = self.run(*args, "--json")
        try:
            return rc, json.loads(out)
        except ValueError:
            check(False, "no JSON from %s: %s %s" % (args, out[:200], err[:200]))
            return rc, {}


def make_kit(models, files=()):
    kit = tempfile.mkdtemp(prefix="kit-")
    with open(os.path.join(kit, "Models.ini"), "wb") as f:
        f.write(models.encode("latin-1"))
    for name in files:
        path = os.path.join(kit, *name.split("\\"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write("#!/bin/sh\n")
        os.chmod(path, 0o755)
    return kit


def normal_text(out):
    """The report with the kit path and the source position of the
    diagnostic records made the same everywhere."""
    first = out.split("\n", 1)[0]
    kit = first[len("Kit:"):].strip()
    if kit:
        out = out.replace(kit, KIT_MARK)
    out = re.sub(r"Line:  \d+", "Line:  N", out)
    out = re.sub(r"File:  [^ ]*?EnumNimoTVTuner\.cpp", "File:  SRC/EnumNimoTVTuner.cpp", out)
    return out


def aligned_free(text):
    # Column widths follow the kit path, which differs between systems.
    return "\n".join(re.sub(r" {2,}", "  ", line).rstrip() for line in text.split("\n"))


def normal_json(doc):
    kit = doc.get("kit", "")

    def walk(value):
        if isinstance(value, str):
            value = value.replace(kit, KIT_MARK) if kit else value
            value = re.sub(r"Line:  \d+", "Line:  N", value)
            return re.sub(r"File:  [^\n]*?EnumNimoTVTuner\.cpp", "File:  SRC/EnumNimoTVTuner.cpp",
                          value)
        if isinstance(value, list):
            return [walk(v) for v in value]
        if isinstance(value, dict):
            return {k: walk(v) for k, v in value.items()}
        return value

    return walk(doc)


MATCH_INI = ("[Model_List]\r\n"
             "1=Sample Card,ven_f00d&dev_7a31,Setup1.sh\r\n"
             "2=Sample Stick,VID_1D9A&PID_00C5,Driver\\Setup2.sh\r\n")
FALLBACK_INI = ("[Model_List]\n"
                "1=Card A,VEN_BEEF&DEV_0001,SetupA.sh\n"
                "3=Card B,VID_BEEF,SetupB.sh\n")
LINT_INI = ("; every mistake the lint knows\n"          # 1
            "[Model_List]\n"                            # 2
            "1=Card,VEN_F00D,Setup1.sh\n"               # 3
            "2=No installer,VEN_3EC1\n"                 # 4
            "3=Empty pattern,,Setup1.sh\n"              # 5
            "4=Gone,VID_1D9A,Missing.sh\n"              # 6
            "5=Long,VEN_F00D&DEV_7A31," + "L" * 250 + "\n"  # 7
            "1=Second one,VEN_AAAA,Setup1.sh\n"         # 8
            "0=Zero,VEN_F00D,Setup1.sh\n"               # 9
            "51=Big,VEN_F00D,Setup1.sh\n"               # 10
            "07=Leading,VEN_F00D,Setup1.sh\n"           # 11
            "+8=Sign,VEN_F00D,Setup1.sh\n"              # 12
            "6=ERROR\n"                                 # 13
            "7=Twin,ven_f00d,Setup1.sh\n"               # 14
            "8=Nowhere,VEN_BEEF,Setup1.sh\n"            # 15
            "[Other]\n"                                 # 16
            "9=Elsewhere,VEN_F00D,Setup1.sh\n"          # 17
            "[model_list]\n"                            # 18
            "10=Ignored,VEN_F00D,Setup1.sh\n")          # 19
LINT_EXPECTED = {
    ("duplicate-key", "1", 8), ("few-fields", "2", 4), ("empty-pattern", "3", 5),
    ("missing-installer", "4", 6), ("cut-value", "5", 7), ("unread-key", "0", 9),
    ("unread-key", "51", 10), ("unread-key", "07", 11), ("unread-key", "+8", 12),
    ("error-value", "6", 13), ("same-pattern", "7", 14), ("unmatched-pattern", "8", 15),
    ("second-section", "10", 19),
    # The cut leaves key 5 a file name that is not there.
    ("missing-installer", "5", 7),
}


def test_match(tool, update, exact):
    kit = make_kit(MATCH_INI, ["Setup1.sh", "Driver\\Setup2.sh"])
    rc, doc = tool.json(kit, "--devices", DEVICES, "--params", PARAMS)
    check(rc == 0, "match kit: exit %d, not 0" % rc)
    check([e.get("matchedDevice") for e in doc.get("entries", [])] == [0, 2],
          "match kit: entries match devices 0 and 2")
    check([(os.path.basename(l["file"].replace("\\", "/")), l["parameters"], l["operation"],
            l["showCommand"]) for l in doc.get("launches", [])] ==
          [("Setup1.sh", PARAMS, "open", 0), ("Setup2.sh", PARAMS, "open", 0)],
          "match kit: both installers launched hidden, in key order, parameters unchanged")
    check(doc.get("fallback", {}).get("applied") is False, "match kit: no fallback")
    check(len(doc.get("devices", [])) == 4, "match kit: the device without IDs is skipped")
    check([d["driverDesc"] for d in doc.get("devices", [])][0] == "Sample Capture Function",
          "match kit: driver description read from the replayed registry")

    rc, out, _ = tool.run(kit, "--devices", DEVICES, "--params", PARAMS)
    text = normal_text(out)
    if update:
        with open(GOLDEN_TEXT, "w") as f:
            f.write(text)
    with open(GOLDEN_TEXT) as f:
        golden = f.read()
    if exact:
        check(aligned_free(text) == aligned_free(golden), "match kit: text report as golden")
    else:
        # Only the slashes of the kit path differ on Windows.
        check(aligned_free(text.replace("\\", "/")) == aligned_free(golden.replace("\\", "/")),
              "match kit: text report as on Linux")
    if aligned_free(text.replace("\\", "/")) != aligned_free(golden.replace("\\", "/")):
        print(text)
    shutil.rmtree(kit)


def test_fallback(tool):
    kit = make_kit(FALLBACK_INI, ["SetupA.sh", "SetupB.sh"])
    rc, doc = tool.json(kit, "--devices", DEVICES)
    check(rc == 1, "fallback kit: exit %d, not 1" % rc)
    fallback = doc.get("fallback", {})
    check(fallback.get("applied") is True and "no pattern" in fallback.get("reason", ""),
          "fallback kit: applied because no pattern occurs")
    check([os.path.basename(l["file"].replace("\\", "/")) for l in doc.get("launches", [])] ==
          ["SetupA.sh", "SetupB.sh"], "fallback kit: every installer, in key order")
    check(sorted((w["code"], w["key"]) for w in doc.get("warnings", [])) ==
          [("unmatched-pattern", "1"), ("unmatched-pattern", "3")],
          "fallback kit: each unmatched pattern warned")
    check(len(doc.get("diagnostics", [])) == 48 and
          all(d.startswith("Error: Read ini fail\n") for d in doc.get("diagnostics", [])),
          "fallback kit: one record per missing key")

    # No device at all: the reason says so.
    empty = os.path.join(kit, "empty.devices")
    with open(empty, "w") as f:
        f.write("# nothing\n")
    rc, doc = tool.json(kit, "--devices", empty)
    check(doc.get("fallback", {}).get("reason") == "no devices present",
          "fallback kit: no devices present")
    shutil.rmtree(kit)


def test_lint(tool, update):
    kit = make_kit(LINT_INI, ["Setup1.sh"])
    rc, doc = tool.json(kit, "--devices", DEVICES)
    check(rc == 1, "lint kit: exit %d, not 1" % rc)
    got = {(w["code"], w["key"], w["line"]) for w in doc.get("warnings", [])}
    check(got == LINT_EXPECTED, "lint kit: warnings\n  missing %s\n  extra %s" %
          (sorted(LINT_EXPECTED - got), sorted(got - LINT_EXPECTED)))
    doc = normal_json(doc)
    if update:
        with open(GOLDEN_JSON, "w") as f:
            json.dump(doc, f, indent=2, ensure_ascii=False)
            f.write("\n")
    with open(GOLDEN_JSON) as f:
        golden = json.load(f)
    slashes = lambda d: json.loads(json.dumps(d).replace("\\\\", "/"))
    check(slashes(doc) == slashes(golden), "lint kit: JSON report as golden")
    shutil.rmtree(kit)


def test_usage(tool):
    kit = make_kit(MATCH_INI)
    bad = os.path.join(kit, "bad.devices")
    with open(bad, "w") as f:
        f.write("ID\\q\tdrv\tdesc\tver\tname\tPCI\\\\VEN_F00D\n")
    cases = [
        ["--frobnicate"],
        [kit, "--params"],
        [kit, kit],
        [kit, "--devices", DEVICES, "--save-devices", os.path.join(kit, "out")],
        [os.path.join(kit, "no-such-dir")],
        [os.path.join(kit, "Models.ini")],
        [kit, "--devices", os.path.join(kit, "no-such-file")],
        [kit, "--devices", bad],
        [tempfile.mkdtemp(prefix="nokit-")],
    ]
    for args in cases:
        rc, out, err = tool.run(*args)
        lines = err.strip().split("\n")
        check(rc == 2 and out == "" and len(lines) == 1 and lines[0].startswith("tavrel-check: "),
              "usage %s: exit %d, stderr %r" % (args, rc, err))
    shutil.rmtree(kit)


def test_save_replay(tool, umockdev):
    """The live machine (under umockdev) and its saved list give one result."""
    kit = make_kit("[Model_List]\n1=Card,VEN_F00D&DEV_7A31,Setup1.sh\n2=Stick,VID_1D9A,S2.sh\n"
                   "3=None,VEN_BEEF,S3.sh\n", ["Setup1.sh", "S2.sh"])
    saved = os.path.join(kit, "saved.devices")
    live = subprocess.run(["umockdev-run", "--device", umockdev, "--"] + tool.command +
                          [kit, "--json", "--save-devices", saved], capture_output=True,
                          timeout=120)
    check(live.returncode == 1, "live run: exit %d, not 1" % live.returncode)
    live_doc = json.loads(live.stdout)
    rc, replay_doc = tool.json(kit, "--devices", saved)
    check(rc == 1, "replay: exit %d" % rc)
    check(len(live_doc["devices"]) > 2, "live run sees the umockdev devices")
    for part in ("devices", "entries", "launches", "fallback", "warnings"):
        check(live_doc[part] == replay_doc[part], "replay reproduces the live %s" % part)
    check([e["matchedDevice"] is not None for e in replay_doc["entries"]] == [True, True, False],
          "replay: the two tuner entries match")
    # Saving the replayed machine again gives the same file.
    again = subprocess.run(["umockdev-run", "--device", umockdev, "--"] + tool.command +
                           [kit, "--save-devices", saved + ".2"], capture_output=True, timeout=120)
    check(again.returncode == 1 and open(saved, "rb").read() == open(saved + ".2", "rb").read(),
          "two saves of one machine are the same")
    shutil.rmtree(kit)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--runner", nargs="*", default=[])
    parser.add_argument("--umockdev")
    parser.add_argument("--update", action="store_true")
    args = parser.parse_args()
    tool = Tool(args.tool, args.runner)
    on_linux = not args.runner
    test_match(tool, args.update, on_linux)
    test_fallback(tool)
    test_lint(tool, args.update)
    test_usage(tool)
    if args.umockdev:
        test_save_replay(tool, args.umockdev)
    if failures:
        print("%d failed" % len(failures))
        return 1
    print("all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
