#!/usr/bin/env python3
"""A delay-import library made from a MinGW import library.

  make_delay_import.py NM DLLTOOL IMPORT_LIB OUTPUT [--c-prefix AS AR]

Lists the functions IMPORT_LIB imports (each has both the "__imp_" pointer
and the call thunk; data imports, which have only the pointer, cannot be
loaded late and are left out), writes them to a .def file beside OUTPUT and
has dlltool make OUTPUT from it: a library with the same names whose first
call loads the DLL (through the runtime's __delayLoadHelper2) instead of the
loader doing it before the program's first instruction.

--c-prefix is for i686, where C names start with "_" and stdcall names end
in "@N", which the DLL itself exports without. There each function's member
is made again (with AS, put in with AR): in dlltool's member the call thunk
and the code its slot first points at share one section, and GNU ld's i386
PE linker drops the thunk's section of an import library member whenever
the thunk itself is not called, which is the case for every function
declared dllimport (the call goes through the "__imp_" slot). The slot then
held 0 and the first call jumped to address 0. Here that code has a section
of its own, which nothing drops.
"""
import os
import subprocess
import sys
import tempfile


def run(command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def imported_functions(nm, import_lib, c_prefix):
    symbols = run([nm, "--defined-only", "-g", import_lib]).split("\n")
    defined = {line.split()[-1] for line in symbols if len(line.split()) == 3}
    imp = "__imp__" if c_prefix else "__imp_"
    functions = set()
    for name in defined:
        if not name.startswith(imp):
            continue
        function = name[len(imp):]
        thunk = "_" + function if c_prefix else function
        if thunk in defined:
            functions.add(function)
    return functions


def member_assembly(function, tail_merge):
    """One function of the library: its slot, its name, the call thunk, and
    the code the slot points at until the first call has loaded the DLL."""
    exported = function.split("@")[0]
    return f"""\
    .text
    .globl "_{function}"
"_{function}":
    jmp *"__imp__{function}"
    .section .text$delay_load,"xr"
    .p2align 2
.Lfirst_call:
    movl $"__imp__{function}", %eax
    jmp {tail_merge}
    .section .idata$5,"w"
    .p2align 2
    .globl "__imp__{function}"
"__imp__{function}":
    .long .Lfirst_call
    .section .idata$4,"w"
    .p2align 2
    .rva .Lname
    .section .idata$6,"w"
    .p2align 1
.Lname:
    .short 0
    .asciz "{exported}"
"""


def remake_i686_members(nm, assembler, archiver, output):
    """Replaces each function member of dlltool's OUTPUT by one assembled
    here, under the same member name: the linker orders the slots of one
    library by member name, between the head (_h) and the tail (_t)."""
    listing = run([nm, "-A", "--defined-only", "-g", output]).split("\n")
    members = {}
    tail_merge = None
    for line in listing:
        if ":" not in line or len(line.split()) != 3:
            continue
        member = line.split(":")[1]
        name = line.split()[-1]
        if name.startswith("___tailMerge_"):
            tail_merge = name
        elif name.startswith("__imp__"):
            members[member] = name[len("__imp__"):]
    if not tail_merge or not members:
        sys.exit("%s: no head or no functions in dlltool's library" % output)
    with tempfile.TemporaryDirectory() as work:
        objects = []
        for member, function in sorted(members.items()):
            source = os.path.join(work, member + ".s")
            with open(source, "w") as f:
                f.write(member_assembly(function, tail_merge))
            obj = os.path.join(work, member)
            subprocess.run([assembler, "--32", "-o", obj, source], check=True)
            objects.append(obj)
        subprocess.run([archiver, "r", output] + objects, check=True)


def main():
    args = sys.argv[1:]
    c_prefix = "--c-prefix" in args
    tools = []
    if c_prefix:
        at = args.index("--c-prefix")
        tools = args[at + 1:at + 3]
        args = args[:at] + args[at + 3:]
        if len(tools) != 2:
            sys.exit(__doc__)
    if len(args) != 4:
        sys.exit(__doc__)
    nm, dlltool, import_lib, output = args
    dll = run([dlltool, "--identify", import_lib]).split()[0]
    functions = imported_functions(nm, import_lib, c_prefix)
    if not functions:
        sys.exit("%s imports no functions" % import_lib)

    def_file = os.path.splitext(output)[0] + ".def"
    with open(def_file, "w") as f:
        f.write("LIBRARY %s\nEXPORTS\n" % dll)
        f.writelines("    %s\n" % name for name in sorted(functions))
    if os.path.exists(output):
        os.remove(output)
    command = [dlltool, "--input-def", def_file, "--dllname", dll, "--output-delaylib", output]
    if c_prefix:
        command.append("--kill-at")
    subprocess.run(command, check=True)
    if c_prefix:
        remake_i686_members(nm, tools[0], tools[1], output)


if __name__ == "__main__":
    main()
