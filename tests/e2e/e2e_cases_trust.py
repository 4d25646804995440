"""End-to-end cases for what the elevated launcher trusts: DLLs planted
beside it under system DLLs' names are never loaded, through a launch that
checks for an update and one that asks in the box and runs the installer."""
import os
import shutil

from e2e_harness import (check, expect_clean_exit, expect_client_started, expect_recorded, shows_the_box)

PLANTED = ("msimg32.dll", "crypt32.dll", "bcrypt.dll")
OVERRIDES_ENV = "TARSEL_EXTRA_DLL_OVERRIDES"


@shows_the_box
def planted_system_dlls_are_never_loaded(build, case):
    # Imported here: e2e_cases imports this module for its case list.
    from e2e_cases import Scenario
    s = Scenario(build, case)
    for name in PLANTED:
        source = os.path.join(build.dir, "tools", "planted", name)
        check(os.path.exists(source), "the planted DLL %s was not built" % source)
        shutil.copy(source, os.path.join(s.folder.dir, name))
    s.offer()
    # Wine would take its own DLLs whatever the folder; ask for files first.
    os.environ[OVERRIDES_ENV] = "msimg32,crypt32,bcrypt=n,b"
    try:
        s.launch()
        expect_client_started(s.folder)
        recorded = expect_recorded(s.folder, s.package)
        result = s.folder.launch_and_answer(lambda screen: None, "right")
        expect_clean_exit(result)
        starts = s.folder.wait_for_starts(2)
        check(len(starts) == 2 and starts[1][0] == "installer" and starts[1][1].lower() == recorded["exe"].lower(),
              "the recorded installer %s should start; the stubs logged %s" % (recorded["exe"], starts))
    finally:
        del os.environ[OVERRIDES_ENV]
    loaded = [name for name in PLANTED if os.path.exists(os.path.join(s.folder.dir, name + ".loaded"))]
    check(not loaded, "the launcher loaded the DLLs planted beside it: %s" % loaded)


CASES = [planted_system_dlls_are_never_loaded]
