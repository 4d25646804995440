#include "update/launcher_data.h"

#include "util/util.h"

CLauncherData* CLauncherData::GetInstance() {
    // Never destroyed: the data file is used until the process ends.
    static CLauncherData* const instance = new CLauncherData();
    return instance;
}

CLauncherData::CLauncherData() {
    SetFileName(Util::GetModuleDir() + L"TarselMainLauncher.dat");
    SetCreateAsUnicode(true);
}
