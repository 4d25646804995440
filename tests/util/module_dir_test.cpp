// The launcher's own folder from its module name, and the cases where it
// cannot be learnt: every path the launcher builds starts there, so those
// must give nothing rather than the drive root.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "util/util.h"

namespace {

TEST(ModuleDir, IsTheFolderOfTheModuleName) {
    const std::wstring name = L"C:\\Program Files\\Tarsel\\TarselMainLauncher.exe";
    EXPECT_EQ(Util::ModuleDirFromName(name.c_str(), static_cast<unsigned long>(name.size()), MAX_PATH),
              L"C:\\Program Files\\Tarsel\\");
    const std::wstring share = L"UNC\\srv\\share\\Tarsel\\TarselMainLauncher.exe";
    EXPECT_EQ(Util::ModuleDirFromName(share.c_str(), static_cast<unsigned long>(share.size()), MAX_PATH),
              L"\\\\srv\\share\\Tarsel\\");
}

TEST(ModuleDir, UnknownWhenTheNameCannotBeTrusted) {
    struct Case {
        const char* what;
        std::wstring name;
        unsigned long length;
    };
    const std::wstring full(MAX_PATH - 1, L'a');
    const Case cases[] = {
        {"the call failed", L"", 0},
        {"the name filled the buffer and was cut", L"C:\\" + full.substr(3), MAX_PATH},
        {"no folder in the name", L"TarselMainLauncher.exe", 22},
        {"only the root", L"\\TarselMainLauncher.exe", 23},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Util::ModuleDirFromName(c.name.c_str(), c.length, MAX_PATH), L"") << c.what;
    }
    EXPECT_EQ(Util::ModuleDirFromName(nullptr, 5, MAX_PATH), L"");
}

}  // namespace
