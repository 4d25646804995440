#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string>

#include "crash/exception_context.h"
#include "crash/thrower_channel.h"
#include "util/unique_handle.h"

namespace {

using crash::thrower::exception_context;
using Channel = crash::thrower::exception_toolkit::thrower_channel<exception_context>;

std::wstring UniqueName(const wchar_t* what) {
    return std::wstring(L"TarselChannelTest-") + what + L"-" + std::to_wstring(::GetCurrentProcessId());
}

bool Openable(const std::wstring& name) {
    return Util::UniqueHandle(::OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str())).valid();
}

TEST(ThrowerChannel, RefusesANullName) {
    Channel channel;
    EXPECT_FALSE(channel.create(nullptr));
    EXPECT_FALSE(channel.is_open());
    EXPECT_EQ(channel.record(), nullptr);
    EXPECT_EQ(channel.section(), INVALID_HANDLE_VALUE);
}

TEST(ThrowerChannel, AnotherOpenerSeesTheRecordWrittenThroughIt) {
    const std::wstring name = UniqueName(L"share");
    Channel channel;
    ASSERT_TRUE(channel.create(name.c_str()));
    ASSERT_TRUE(channel.is_open());
    channel.record()->tick_count = 0x01020304;
    channel.record()->version[1279] = L'v';

    Util::UniqueHandle other(::OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()));
    ASSERT_TRUE(other.valid());
    Util::UniqueMapView view(::MapViewOfFile(other.get(), FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(view.valid());
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_EQ(::VirtualQuery(view.get(), &info, sizeof info), sizeof info);
    EXPECT_GE(info.RegionSize, sizeof(exception_context));
    EXPECT_LT(info.RegionSize, sizeof(exception_context) + 4096);
    const auto* seen = static_cast<const exception_context*>(view.get());
    EXPECT_EQ(seen->tick_count, 0x01020304u);
    EXPECT_EQ(seen->version[1279], L'v');
    EXPECT_EQ(seen->process_id, 0u) << "a new section starts zeroed";
}

TEST(ThrowerChannel, EveryoneMayOpenItAtLowIntegrity) {
    const std::wstring name = UniqueName(L"security");
    Channel channel;
    ASSERT_TRUE(channel.create(name.c_str()));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetSecurityInfo(channel.section(), SE_KERNEL_OBJECT,
                                DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    Util::UniqueLocalMem owned(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = reinterpret_cast<PACL>(1);
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_EQ(dacl, nullptr) << "a null DACL lets everyone open the section";

    PACL sacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted));
    ASSERT_TRUE(present && sacl);
    bool low = false;
    for (DWORD i = 0; i < sacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(::GetAce(sacl, i, &ace));
        if (static_cast<ACE_HEADER*>(ace)->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE) continue;
        PSID sid = &static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->SidStart;
        low |= *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1) == SECURITY_MANDATORY_LOW_RID;
    }
    EXPECT_TRUE(low);
}

TEST(ThrowerChannel, ClosingOrRecreatingReleasesTheEarlierSection) {
    const std::wstring first = UniqueName(L"first");
    const std::wstring second = UniqueName(L"second");
    {
        Channel channel;
        ASSERT_TRUE(channel.create(first.c_str()));
        EXPECT_TRUE(Openable(first));
        ASSERT_TRUE(channel.create(second.c_str()));
        EXPECT_FALSE(Openable(first));
        EXPECT_TRUE(Openable(second));
        channel.close();
        EXPECT_FALSE(channel.is_open());
        EXPECT_EQ(channel.record(), nullptr);
        EXPECT_FALSE(Openable(second));
        ASSERT_TRUE(channel.create(second.c_str()));
    }
    EXPECT_FALSE(Openable(second)) << "destruction closes the section";
}

TEST(ThrowerChannel, NeverWritesIntoASectionSomeoneElseNamed) {
    const std::wstring name = UniqueName(L"taken");
    Util::UniqueHandle squatter(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, name.c_str()));
    ASSERT_TRUE(squatter.valid());
    Channel channel;
    EXPECT_FALSE(channel.create(name.c_str()));
    EXPECT_FALSE(channel.is_open());
}

}  // namespace
