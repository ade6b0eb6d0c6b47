#!/usr/bin/env python3
"""Checks a Windows executable or DLL built by the cross toolchain, from objdump's view of it.

  check-windows-binary.py OBJDUMP FILE [--resource TYPE:ID ...] [--export NAME ...]

Fails when it imports a DLL that is not part of Windows (every runtime must be linked in), when a
named resource is missing (TYPE is a name such as CUSTOMDATA or a number such as 2 for bitmaps),
or when a named export is missing or decorated (stdcall's "@N" or a leading underscore)."""
import re
import subprocess
import sys

# DLLs every Windows installation has; anything else would have to travel beside the program.
SYSTEM_DLLS = {
    "advapi32.dll", "avrt.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "glu32.dll",
    "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "opengl32.dll", "shell32.dll",
    "user32.dll", "uuid.dll", "version.dll", "winmm.dll",
}


def parse(text):
    imports = set(m.group(1) for m in re.finditer(r"^\s*DLL Name: (\S+)", text, re.M))
    exports = set()
    table = re.search(r"\[Ordinal/Name Pointer\] Table\n(.*?)(?:\n\n|\Z)", text, re.S)
    if table:
        exports = set(m.group(1) for m in re.finditer(r"\[\s*\d+\]\s+(\S+)", table.group(1)))
    # The resource tree: type entries are indented three spaces, name (id) entries five.
    resources = set()
    rtype = None
    for line in text.splitlines():
        m = re.match(r"^[0-9a-f]{3}( +)Entry: (?:name: \[[^]]*\]: (\S+)|ID: (0x[0-9a-f]+)),", line)
        if not m:
            continue
        depth = len(m.group(1))
        key = m.group(2) if m.group(2) else str(int(m.group(3), 16))
        if depth == 3:
            rtype = key
        elif depth == 5 and rtype is not None:
            resources.add((rtype.upper(), key))
    return imports, exports, resources


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    objdump, path = argv[1], argv[2]
    wanted_resources, wanted_exports = [], []
    args = argv[3:]
    while args:
        flag, value = args[0], args[1] if len(args) > 1 else None
        if flag == "--resource" and value:
            rtype, rid = value.rsplit(":", 1)
            wanted_resources.append((rtype.upper(), rid))
        elif flag == "--export" and value:
            wanted_exports.append(value)
        else:
            print(f"unknown argument {flag}", file=sys.stderr)
            return 2
        args = args[2:]

    text = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    imports, exports, resources = parse(text)
    problems = []
    if not imports:
        problems.append("no import table found")
    for dll in sorted(imports):
        if dll.lower() not in SYSTEM_DLLS:
            problems.append(f"imports {dll}, which is not a system DLL")
    for rtype, rid in wanted_resources:
        if (rtype, rid) not in resources:
            problems.append(f"no resource {rtype} {rid}")
    for name in wanted_exports:
        if name not in exports:
            problems.append(f"no export {name}")
    for name in sorted(exports):
        if "@" in name or name.startswith("_"):
            problems.append(f"decorated export {name}")

    for p in problems:
        print(f"{path}: {p}", file=sys.stderr)
    if problems:
        return 1
    print(f"{path}: imports only {', '.join(sorted(imports))}; {len(resources)} resources, "
          f"{len(exports)} exports checked")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
