// The launcher's crash catcher, created during static initialisation so the
// hooks are in place before the entry point runs, and put back at exit.
//
// Built as an object library (tarsel_crash_launcher_catcher): an object in a
// static library that nothing refers to would never be linked, and nothing
// refers to this one by design.
#include "crash/exception_catcher.h"

namespace {

crash::thrower::exception_catcher g_launcherCatcher(true, L"tarselMainLauncher-windows", L"1.1.516.220", false);

}  // namespace
