#!/usr/bin/env python3
"""What an uninstall left behind in a Wine prefix: files and registry, before against after.

  prefix_snapshot.py take PREFIX OUT    records the prefix's files and folders under drive_c
                                        and its registry keys and value names
  prefix_snapshot.py left BEFORE AFTER  prints every file, folder, key and value that AFTER
                                        holds and BEFORE does not; exit 1 when any is a leftover
  prefix_snapshot.py programs PREFIX    the installed-programs list, one entry a line:
                                        key, DisplayName, DisplayVersion, Publisher (tabs)

Left-overs are any file, any value, and any folder or key that is not empty or whose name is
a product's (a GUID, in braces or packed as 32 hex digits, or "hanoi"). Empty folders and keys
without such a name are Windows Installer's own containers (C:\\windows\\Installer, the
Installer\\Products key ...), which it creates on first use and keeps, as Windows does; they
are printed as allowed. Values that only changed are Wine's own device bookkeeping: only
names count.
"""
import os
import re
import sys

PRODUCT_NAME = re.compile(r"\{[0-9A-Fa-f-]{36}\}|(^|\\)[0-9A-Fa-f]{32}($|\\)|hanoi", re.I)


def registry(path, hive):
    """Lines "K key" and "V key<TAB>name" of one Wine registry file."""
    lines, key, continued = [], None, False
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if continued:  # a value written over several lines ends without a backslash
                continued = line.endswith("\\")
                continue
            section = re.match(r"^\[(.*)\](?: \d+)?$", line)
            if section:
                key = hive + "\\" + section.group(1).replace("\\\\", "\\")
                lines.append("K " + key)
            elif key and (line.startswith('"') or line.startswith("@")):
                name = "@" if line.startswith("@") else re.match(r'^"((?:[^"\\]|\\.)*)"', line)[1]
                lines.append(f"V {key}\t{name}")
                continued = line.endswith("\\")
    return lines


def take(prefix, out):
    lines = []
    for folder, folders, files in os.walk(os.path.join(prefix, "drive_c")):
        relative = os.path.relpath(folder, prefix)
        lines.append(("D " if folders or files else "E ") + relative)  # E: an empty folder
        lines += ["F " + os.path.join(relative, name) for name in files]
    for name, hive in (("system.reg", "HKLM"), ("user.reg", "HKCU"), ("userdef.reg", "DEFAULT")):
        lines += registry(os.path.join(prefix, name), hive)
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(sorted(set(lines))) + "\n")


def left(before_path, after_path):
    before = set(open(before_path, encoding="utf-8").read().splitlines())
    after = set(open(after_path, encoding="utf-8").read().splitlines())
    # A key that gained values is not empty; a folder is empty when recorded so ("E").
    filled = {line[2:].split("\t")[0] for line in after - before if line.startswith("V ")}
    leftovers = 0
    for line in sorted(after - before):
        kind, name = line[0], line[2:]
        empty = kind == "E" or (kind == "K" and name not in filled)
        folder_turned_empty = kind == "E" and "D " + name in before
        if folder_turned_empty or (empty and not PRODUCT_NAME.search(name)):
            print("allowed (empty, Windows Installer's own): " + name)
        else:
            print("left behind: " + line)
            leftovers += 1
    return 1 if leftovers else 0


def programs(prefix):
    uninstall = re.compile(r"^\[Software\\\\(?:Wow6432Node\\\\)?Microsoft\\\\Windows\\\\"
                           r"CurrentVersion\\\\Uninstall\\\\([^\]]+)\]")
    entries, entry = [], None
    with open(os.path.join(prefix, "system.reg"), encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("["):
                match = uninstall.match(line)
                entry = {"key": match.group(1)} if match else None
                if entry:
                    entries.append(entry)
            elif entry is not None:
                value = re.match(r'^"(\w+)"="(.*)"$', line.rstrip("\n"))
                if value:
                    entry[value.group(1)] = value.group(2)
    for entry in entries:
        print("\t".join(entry.get(name, "") for name in
                        ("key", "DisplayName", "DisplayVersion", "Publisher")))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "take":
        take(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "left":
        sys.exit(left(sys.argv[2], sys.argv[3]))
    elif len(sys.argv) == 3 and sys.argv[1] == "programs":
        programs(sys.argv[2])
    else:
        sys.exit(__doc__)
