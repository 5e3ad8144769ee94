"""Pieces shared by the end-to-end tests: kit directories, the recorder's
log format (see tests/support/Recording.h), diagnostic records, checks."""
import os
import re
import shutil
import time

MODEL_KEYS = 50


class Failed(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failed(what)


def expect_eq(actual, wanted, what):
    if actual != wanted:
        raise Failed("%s:\n  got    %r\n  wanted %r" % (what, actual, wanted))


def parse_records(data):
    """Complete records of a recorder log (bytes) as dicts of lists."""
    records = []
    pos = 0
    while data.startswith(b"RECORD\n", pos):
        pos += len(b"RECORD\n")
        record = {}
        complete = False
        while pos < len(data):
            if data.startswith(b"END\n", pos):
                pos += len(b"END\n")
                complete = True
                break
            tag = chr(data[pos])
            colon = data.index(b":", pos + 1)
            length = int(data[pos + 1:colon])
            value = data[colon + 1:colon + 1 + length]
            pos = colon + 1 + length + 1
            record.setdefault(tag, []).append(value)
        if not complete:
            break
        records.append(record)
    return records


def read_records(log):
    try:
        with open(log, "rb") as f:
            return parse_records(f.read())
    except FileNotFoundError:
        return []


def make_kit(root, name, program, ini, installers, recorder):
    """A kit directory: the program, Models.ini (bytes or None) and a copy of
    the recorder under each installer name (backslashes are separators)."""
    kit = os.path.join(root, name)
    os.makedirs(kit)
    shutil.copy2(program, os.path.join(kit, os.path.basename(program)))
    if ini is not None:
        with open(os.path.join(kit, "Models.ini"), "wb") as f:
            f.write(ini)
    for installer in installers:
        path = os.path.join(kit, *installer.split("\\"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copy2(recorder, path)
    return kit


def snapshot(kit):
    """Every file of the kit with its size and contents' time, logs left out."""
    files = {}
    for dirpath, _, names in os.walk(kit):
        for n in names:
            if n.endswith(".log"):
                continue
            p = os.path.join(dirpath, n)
            st = os.stat(p)
            files[os.path.relpath(p, kit)] = (st.st_size, st.st_mtime_ns)
    return files


def installer_log(kit, installer):
    return os.path.join(kit, *installer.split("\\")) + ".log"


def wait_for_records(kit, wanted, settle, timeout=30.0):
    """Waits until each installer's log holds the wanted number of records
    (a dict installer -> count; others must stay empty), then `settle`
    seconds more to catch late extra launches. Returns installer -> records."""
    deadline = time.monotonic() + timeout
    while True:
        got = {i: read_records(installer_log(kit, i)) for i in wanted}
        if all(len(got[i]) >= n for i, n in wanted.items()) or time.monotonic() > deadline:
            break
        time.sleep(0.1)
    time.sleep(settle)
    return {i: read_records(installer_log(kit, i)) for i in wanted}


def ini(*entries):
    return ("[Model_List]\r\n" + "".join("%d=%s\r\n" % (k, v) for k, v in entries)).encode()


def split_diagnostics(records):
    """(message, line, file, code) from the four-line diagnostic records."""
    out = []
    for r in records:
        m = re.fullmatch(r"Error: (.*)\nLine:  (\d+)\nFile:  (.*)\nCode:   (\d+)", r, re.S)
        if m is None:
            raise Failed("not a diagnostic record: %r" % r)
        out.append((m.group(1), int(m.group(2)), m.group(3), int(m.group(4))))
    return out


def expect_missing_keys(diagnostics, first_missing):
    messages = [d[0] for d in diagnostics if d[0] == "Read ini fail"]
    expect_eq(len(messages), MODEL_KEYS - first_missing + 1, "'Read ini fail' records")


def run_scenarios(scenarios, only=None):
    failed = 0
    for name, fn in scenarios:
        if only and name not in only:
            continue
        start = time.monotonic()
        try:
            fn()
            print("PASS %-55s %.1fs" % (name, time.monotonic() - start), flush=True)
        except Failed as e:
            failed += 1
            print("FAIL %s: %s" % (name, e), flush=True)
    return failed
