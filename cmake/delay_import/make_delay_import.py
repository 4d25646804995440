#!/usr/bin/env python3
"""A delay-import library made from a MinGW import library.

  make_delay_import.py NM DLLTOOL IMPORT_LIB OUTPUT [--c-prefix]

Lists the functions IMPORT_LIB imports (each has both the "__imp_" pointer
and the call thunk; data imports, which have only the pointer, cannot be
loaded late and are left out), writes them to a .def file beside OUTPUT and
has dlltool make OUTPUT from it: a library with the same names whose first
call loads the DLL (through the runtime's __delayLoadHelper2) instead of the
loader doing it before the program's first instruction. --c-prefix is for
i686, where C names start with "_" and stdcall names end in "@N", which the
DLL itself exports without.
"""
import os
import subprocess
import sys


def main():
    args = [a for a in sys.argv[1:] if a != "--c-prefix"]
    c_prefix = "--c-prefix" in sys.argv
    if len(args) != 4:
        sys.exit(__doc__)
    nm, dlltool, import_lib, output = args
    dll = subprocess.run([dlltool, "--identify", import_lib], check=True, capture_output=True,
                         text=True).stdout.split()[0]
    symbols = subprocess.run([nm, "--defined-only", "-g", import_lib], check=True, capture_output=True,
                             text=True).stdout.split("\n")
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
    if not functions:
        sys.exit("%s imports no functions" % import_lib)

    def_file = os.path.splitext(output)[0] + ".def"
    with open(def_file, "w") as f:
        f.write("LIBRARY %s\nEXPORTS\n" % dll)
        f.writelines("    %s\n" % name for name in sorted(functions))
    command = [dlltool, "--input-def", def_file, "--dllname", dll, "--output-delaylib", output]
    if c_prefix:
        command.append("--kill-at")
    subprocess.run(command, check=True)


if __name__ == "__main__":
    main()
