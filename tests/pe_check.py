#!/usr/bin/env python3
"""Reads a built Windows executable as the system's loader would, without
running it, so that it is checked on any machine, wine or no wine:

  - the headers: PE32 for Intel 80386 or PE32+ for x86-64, as asked, and the
    console subsystem;
  - the imports: only the system's own DLLs (libgcc, libstdc++ and winpthread
    are linked in), among them the functions that read the command line in
    UTF-16 and, in the companion, that open files by UTF-16 names;
  - the version resource's file description and original file name;
  - the application manifest's four requests.

The program and its companion are told apart by the executable's file name.

usage: pe_check.py EXECUTABLE i686|x86_64
Prints one line per failed check and exits 1 on any, else one summary line.
"""

import os
import re
import struct
import sys

MACHINES = {"i686": (0x014C, 0x10B, "PE32, Intel 80386"), "x86_64": (0x8664, 0x20B, "PE32+, x86-64")}
CONSOLE_SUBSYSTEM = 3
IMPORT_DIRECTORY, RESOURCE_DIRECTORY = 1, 2
VERSION_TYPE, MANIFEST_TYPE, PROCESS_MANIFEST_ID = 16, 24, 1

PROGRAM_IMPORTS = {
    "KERNEL32.dll": {"SetUnhandledExceptionFilter", "SetErrorMode", "GetCommandLineW", "WideCharToMultiByte",
                     "LocalFree"},
    "SHELL32.dll": {"CommandLineToArgvW"},
    "msvcrt.dll": {"malloc", "free", "fflush", "exit"},
}
# What each executable must carry, by its file name.
EXECUTABLES = {
    "erilaisetrivit.exe": {
        "description": "Tuotetaan mahdollisimman erilaisia riveja",
        "imports": PROGRAM_IMPORTS,
    },
    "erilaisetrivit-rivit.exe": {
        "description": "Erilaisetrivit-ohjelman rivit ja rivien tarkistus",
        "imports": {
            "KERNEL32.dll": {"GetCommandLineW", "WideCharToMultiByte", "MultiByteToWideChar", "LocalFree"},
            "SHELL32.dll": {"CommandLineToArgvW"},
            "msvcrt.dll": {"_wfopen", "fclose"},
        },
    },
}
MANIFEST_REQUESTS = [
    r'<dependentAssembly>\s*<assemblyIdentity[^>]*name="Microsoft\.Windows\.Common-Controls"'
    r'[^>]*version="6\.0\.0\.0"',
    r'<requestedExecutionLevel[^>]*level="asInvoker"',
    r"<dpiAwareness[^>]*>PerMonitorV2",
    r"<dpiAware[^>]*>true/pm</dpiAware>",
]


class Image:
    """The file's headers, and its bytes addressed as the loader maps them."""

    def __init__(self, data):
        self.data = data
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        (self.magic,) = struct.unpack_from("<H", data, optional)
        (self.subsystem,) = struct.unpack_from("<H", data, optional + 68)
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(sections):
            header = optional + optional_size + 40 * i
            size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, header + 8)
            self.sections.append((address, max(size, raw_size), raw_offset))
        self.thunk = "<I" if self.magic == 0x10B else "<Q"

    def offset(self, address):
        for start, size, raw in self.sections:
            if start <= address < start + size:
                return raw + address - start
        raise ValueError(f"address {address:#x} is in no section")

    def u32(self, address):
        return struct.unpack_from("<I", self.data, self.offset(address))[0]

    def c_string(self, address):
        start = self.offset(address)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """{dll: {function names}}, from the import directory."""
        found = {}
        descriptor, _ = self.directories[IMPORT_DIRECTORY]
        while self.u32(descriptor + 12) != 0:
            names = found.setdefault(self.c_string(self.u32(descriptor + 12)), set())
            lookup = self.u32(descriptor) or self.u32(descriptor + 16)
            width = struct.calcsize(self.thunk)
            while True:
                (entry,) = struct.unpack_from(self.thunk, self.data, self.offset(lookup))
                if entry == 0:
                    break
                if not entry >> (8 * width - 1):  # not imported by ordinal
                    names.add(self.c_string(entry + 2))
                lookup += width
            descriptor += 20
        return found

    def resource(self, type_id, name_id=None):
        """The bytes of the first resource of `type_id` (and `name_id`)."""
        root, _ = self.directories[RESOURCE_DIRECTORY]
        entry = root
        for wanted in (type_id, name_id, None):
            directory = self.offset(entry)
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            entries = [struct.unpack_from("<II", self.data, directory + 16 + 8 * i) for i in range(named + numbered)]
            matching = [target for key, target in entries if wanted is None or key == wanted]
            if not matching:
                return None
            entry = root + (matching[0] & 0x7FFFFFFF)
        address, size = struct.unpack_from("<II", self.data, self.offset(entry))
        start = self.offset(address)
        return self.data[start:start + size]


def version_strings(block):
    """Every string value of a version resource, by key: the resource is a
    tree of blocks (length, value length, type, UTF-16 key, value, children),
    each aligned to four bytes."""
    strings = {}

    def walk(start, end):
        while start + 6 <= end:
            length, value_length, is_text = struct.unpack_from("<HHH", block, start)
            if length == 0:
                return
            key_end = start + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[start + 6:key_end].decode("utf-16-le")
            value = (key_end + 2 + 3) & ~3
            value_bytes = value_length * 2 if is_text else value_length
            if is_text and value_length:
                strings[key] = block[value:value + value_bytes].decode("utf-16-le").rstrip("\0")
            walk((value + value_bytes + 3) & ~3, start + length)
            start = (start + length + 3) & ~3

    walk(0, len(block))
    return strings


def check(path, processor):
    machine, magic, kind = MACHINES[processor]
    name = os.path.basename(path)
    if name not in EXECUTABLES:
        return [f"not one of {sorted(EXECUTABLES)}"]
    expected_imports = EXECUTABLES[name]["imports"]
    image = Image(open(path, "rb").read())
    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)

    expect(image.machine == machine and image.magic == magic,
           f"{kind} expected; machine {image.machine:#06x}, optional header {image.magic:#x}")
    expect(image.subsystem == CONSOLE_SUBSYSTEM, f"console subsystem expected, not {image.subsystem}")

    imports = image.imports()
    expect(set(imports) == set(expected_imports), f"imports DLLs {sorted(imports)}, not {sorted(expected_imports)}")
    for dll, functions in expected_imports.items():
        missing = functions - imports.get(dll, set())
        expect(not missing, f"{dll}: {sorted(missing)} not imported")
    expect(imports.get("SHELL32.dll") == expected_imports["SHELL32.dll"],
           f"SHELL32.dll: {sorted(imports.get('SHELL32.dll', []))}, not only CommandLineToArgvW")

    version = image.resource(VERSION_TYPE)
    strings = version_strings(version) if version else {}
    expect(strings.get("FileDescription") == EXECUTABLES[name]["description"],
           f"file description {strings.get('FileDescription')!r}")
    expect(strings.get("OriginalFilename") == name, f"original file name {strings.get('OriginalFilename')!r}")

    manifest = (image.resource(MANIFEST_TYPE, PROCESS_MANIFEST_ID) or b"").decode("utf-8", "replace")
    for request in MANIFEST_REQUESTS:
        expect(re.search(request, manifest), f"manifest lacks {request}")
    return failures


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in MACHINES:
        sys.exit(__doc__.split("\n\n")[1])
    failures = check(*sys.argv[1:])
    for failure in failures:
        print(f"{sys.argv[1]}: {failure}")
    if failures:
        sys.exit(1)
    print(f"{sys.argv[1]}: {MACHINES[sys.argv[2]][2]}, console, imports and resources as expected")


if __name__ == "__main__":
    main()
