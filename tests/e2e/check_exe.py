#!/usr/bin/env python3
"""Reads the resources and the import table back from a built Tavrel.exe.

check_exe.py TOOL_PREFIX EXE  (TOOL_PREFIX e.g. x86_64-w64-mingw32)

Checks dialog template 102, icon group 130 (and that there is no icon 128,
which the dialog asks for and must not get), the version block, the GUI
subsystem, and that every imported DLL is a Windows system DLL.
"""
import re
import subprocess
import sys

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "setupapi.dll", "msvcrt.dll", "ntdll.dll"}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def block(text, header):
    """The lines of the resource that starts with `header`, up to its END."""
    start = text.find(header)
    if start < 0:
        return None
    end = text.find("\nEND", start)
    return text[start:end]


def main():
    prefix, exe = sys.argv[1], sys.argv[2]
    rc = subprocess.run([prefix + "-windres", "-i", exe, "-O", "rc"], check=True,
                        capture_output=True, text=True).stdout
    dump = subprocess.run([prefix + "-objdump", "-p", exe], check=True, capture_output=True,
                          text=True).stdout

    dialog = block(rc, "102 DIALOGEX")
    check(dialog is not None, "dialog template 102 (extended)")
    if dialog is not None:
        lines = [l.strip() for l in dialog.splitlines()]
        check(lines[0] == "102 DIALOGEX 0, 0, 48, 39", "dialog at 0,0 size 48x39: " + lines[0])
        # WS_POPUP | WS_BORDER | DS_SETFONT: not visible, no caption.
        check("STYLE 0x80800040" in lines, "dialog style")
        check("EXSTYLE 0x40000" in lines, "dialog extended style WS_EX_APPWINDOW")
        check('FONT 8, "MS Sans Serif"' in lines, "dialog font")
        check(not any(l.startswith("CAPTION") for l in lines), "no caption")
        controls = [l for l in lines if re.match(r"^[A-Z]+ \"", l)]
        # WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, no text.
        check(controls == ['PUSHBUTTON "", 1000, 7, 7, 31, 14, 0x50010000'],
              "one push button 1000: %r" % controls)

    groups = re.findall(r"^(\S+) 14 /\* RT_GROUP_ICON \*/", rc, re.M)
    check(groups == ["130"], "one icon group, 130: %r" % groups)

    version = block(rc, "1 VERSIONINFO")
    check(version is not None, "version block")
    if version is not None:
        for line in ["FILEVERSION 1, 0, 0, 3", "PRODUCTVERSION 1, 0, 0, 3",
                     'BLOCK "040904B0"',
                     'VALUE "FileDescription", "Tavrel MFC Application"',
                     'VALUE "FileVersion", "1, 0, 0, 3"',
                     'VALUE "InternalName", "Tavrel"',
                     'VALUE "OriginalFilename", "Tavrel.EXE"',
                     'VALUE "ProductName", "Tavrel Application"',
                     'VALUE "ProductVersion", "1, 0, 0, 3"']:
            check(line in [l.strip() for l in version.splitlines()], "version: " + line)
        check("VALUE \"Translation\", 0x409, 1200" in rc, "translation U.S. English, Unicode")
        values = re.findall(r'VALUE "(\w+)",', version)
        check(sorted(values) == sorted(["FileDescription", "FileVersion", "InternalName",
                                        "OriginalFilename", "ProductName", "ProductVersion",
                                        "Translation"]), "no other version strings: %r" % values)

    check(re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", dump, re.M) is not None,
          "GUI subsystem")
    dlls = re.findall(r"DLL Name: (\S+)", dump)
    check(dlls, "an import table")
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    check(not foreign, "only system DLLs imported, not %r" % foreign)

    for f in failures:
        print("FAIL:", f)
    print("%s: %s (imports %s)" % (exe, "bad" if failures else "ok", ", ".join(dlls)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
