#!/usr/bin/env python3
"""Checks an executable's delay-import tables without running it.

  delay_import_check.py EXE... --late DLL... [--dll-dir DIR]

For every DLL named after --late (import library names: ws2_32 ...) each
executable must hold a delay-import descriptor. For each function such a
descriptor imports:
  - its slot must hold the address of code in an executable section, and
    that code must be the first-call stub of this very slot (it hands the
    slot to the runtime's loader). A slot holding 0, or anything else, is a
    call to nowhere at run time;
  - with --dll-dir, the DLL of that name in DIR must export the name looked
    up (the i386 or x86_64 Wine DLLs are PE files like any other).

GNU ld does not fill in the PE header's delay-import directory entry, so the
descriptors are found by their contents: attributes 1 (addresses are RVAs)
followed by the RVA of the DLL's name.
"""
import argparse
import os
import struct
import sys

IMAGE_SCN_MEM_EXECUTE = 0x20000000
ORDINAL_FLAG = {4: 0x80000000, 8: 0x8000000000000000}


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        data = self.data
        if data[:2] != b"MZ":
            raise ValueError("%s: not a PE file" % path)
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("%s: not a PE file" % path)
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            self.pointer_size = 4
            self.image_base = struct.unpack_from("<I", data, optional + 28)[0]
            directories = optional + 96
        elif magic == 0x20B:
            self.pointer_size = 8
            self.image_base = struct.unpack_from("<Q", data, optional + 24)[0]
            directories = optional + 112
        else:
            raise ValueError("%s: unknown optional header 0x%x" % (path, magic))
        self.export_rva, self.export_size = struct.unpack_from("<II", data, directories)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, va, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            characteristics = struct.unpack_from("<I", data, table + 40 * i + 36)[0]
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), va, vsize, raw_ptr, raw_size,
                                  characteristics))

    def lowered(self):
        """The file's bytes in lower case, made once for every DLL looked up."""
        if not hasattr(self, "_lowered"):
            self._lowered = self.data.lower()
        return self._lowered

    def offset(self, rva):
        for _, va, vsize, raw_ptr, raw_size, _ in self.sections:
            if va <= rva < va + max(vsize, raw_size) and rva - va < raw_size:
                return raw_ptr + rva - va
        return None

    def rva_of_offset(self, offset):
        for _, va, _, raw_ptr, raw_size, _ in self.sections:
            if raw_ptr <= offset < raw_ptr + raw_size:
                return va + offset - raw_ptr
        return None

    def executable(self, rva):
        return any(va <= rva < va + vsize and characteristics & IMAGE_SCN_MEM_EXECUTE
                   for _, va, vsize, _, _, characteristics in self.sections)

    def pointer(self, rva):
        offset = self.offset(rva)
        if offset is None:
            return None
        return struct.unpack_from("<I" if self.pointer_size == 4 else "<Q", self.data, offset)[0]

    def c_string(self, rva):
        offset = self.offset(rva)
        if offset is None:
            return None
        end = self.data.find(b"\0", offset)
        return self.data[offset:end].decode("latin-1") if end >= 0 else None

    def export_names(self):
        if not self.export_rva:
            return set()
        base = self.offset(self.export_rva)
        count, names_rva = struct.unpack_from("<I", self.data, base + 24)[0], struct.unpack_from(
            "<I", self.data, base + 32)[0]
        names = set()
        for i in range(count):
            names.add(self.c_string(struct.unpack_from("<I", self.data, self.offset(names_rva) + 4 * i)[0]))
        return names


def find_descriptors(image, dll):
    """The delay-import descriptors naming DLL (file name, any case)."""
    wanted = (dll + ".dll").lower().encode()
    lowered = image.lowered()
    found = []
    start = 0
    while True:
        at = lowered.find(wanted + b"\0", start)
        if at < 0:
            break
        start = at + 1
        if at > 0 and (chr(lowered[at - 1]).isalnum() or lowered[at - 1] in b"_-."):
            continue
        name_rva = image.rva_of_offset(at)
        if name_rva is None:
            continue
        pattern = struct.pack("<II", 1, name_rva)
        search = 0
        while True:
            hit = image.data.find(pattern, search)
            if hit < 0:
                break
            search = hit + 4
            if hit % 4:
                continue
            fields = struct.unpack_from("<8I", image.data, hit)
            found.append(fields)
    return found


def stub_loads_slot(image, code_rva, slot_va):
    """True when the code at CODE_RVA starts the first call of SLOT_VA: the
    i686 stub loads the slot's address into eax ("mov $slot, %eax"), the
    x86_64 one into rax ("lea slot(%rip), %rax"), then jumps to the code
    that calls the runtime's loader."""
    offset = image.offset(code_rva)
    if offset is None:
        return False
    code = image.data[offset:offset + 7]
    if image.pointer_size == 4:
        return code[0] == 0xB8 and struct.unpack_from("<I", code, 1)[0] == slot_va
    if code[:3] != b"\x48\x8d\x05":
        return False
    displacement = struct.unpack_from("<i", code, 3)[0]
    return image.image_base + code_rva + 7 + displacement == slot_va


def check(image, dll, dll_dir):
    problems = []
    descriptors = find_descriptors(image, dll)
    if not descriptors:
        return ["%s: no delay-import descriptor names it" % dll], 0
    exports = None
    if dll_dir:
        path = os.path.join(dll_dir, dll + ".dll")
        if not os.path.exists(path):
            return ["%s: not in %s" % (dll, dll_dir)], 0
        exports = Image(path).export_names()
    checked = 0
    for _, name_rva, hmod_rva, iat_rva, int_rva, _, _, timestamp in descriptors:
        size = image.pointer_size
        for index in range(100000):
            entry = image.pointer(int_rva + size * index)
            if entry is None:
                problems.append("%s: name table runs outside the image" % dll)
                break
            if entry == 0:
                break
            if entry & ORDINAL_FLAG[size]:
                function = "#%d" % (entry & 0xFFFF)
            else:
                function = image.c_string(entry + 2) or "?"
                if exports is not None and function not in exports:
                    problems.append("%s: %s is not exported by %s" % (dll, function, dll_dir))
            slot_rva = iat_rva + size * index
            slot = image.pointer(slot_rva)
            checked += 1
            if not slot:
                problems.append("%s: slot of %s holds 0" % (dll, function))
            elif not image.executable(slot - image.image_base):
                problems.append("%s: slot of %s holds 0x%x, outside the code" % (dll, function, slot))
            elif not stub_loads_slot(image, slot - image.image_base, image.image_base + slot_rva):
                problems.append("%s: slot of %s points at code that is not its first-call stub" % (dll, function))
    if checked == 0:
        problems.append("%s: its descriptor imports no function" % dll)
    return problems, checked


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exes", nargs="+", metavar="exe")
    parser.add_argument("--late", nargs="+", required=True)
    parser.add_argument("--dll-dir")
    args = parser.parse_args()
    if args.dll_dir and not os.path.isdir(args.dll_dir):
        print("problem: %s is not a folder" % args.dll_dir)
        return 1
    problems = []
    for exe in args.exes:
        image = Image(exe)
        for dll in args.late:
            found, checked = check(image, dll.lower(), args.dll_dir)
            problems += ["%s: %s" % (os.path.basename(exe), problem) for problem in found]
            print("%s: %s: %d late-loaded functions checked" % (os.path.basename(exe), dll, checked))
    if not args.dll_dir:
        print("no DLL folder given: the names looked up were not checked against the DLLs")
    for problem in problems:
        print("problem: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
