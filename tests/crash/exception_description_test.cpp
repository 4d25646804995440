#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "crash/bounded_text.h"
#include "crash/exception_context.h"
#include "crash/exception_description.h"

namespace {

using namespace crash::thrower::exception_toolkit;

std::wstring Describe(DWORD code, std::vector<ULONG_PTR> params, std::size_t capacity = 32768) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = code;
    record.NumberParameters = static_cast<DWORD>(params.size());
    for (std::size_t i = 0; i < params.size() && i < EXCEPTION_MAXIMUM_PARAMETERS; ++i) {
        record.ExceptionInformation[i] = params[i];
    }
    std::vector<wchar_t> buffer(capacity + 1, L'#');
    bounded_text text(buffer.data(), capacity);
    describe_exception(record, text);
    EXPECT_EQ(buffer[capacity], L'#') << "wrote past the field";
    return buffer.data();
}

TEST(ExceptionDescription, EveryListedCodeHasItsName) {
    const struct {
        DWORD code;
        const wchar_t* name;
    } cases[] = {
        {0x00000103, L"STILL_ACTIVE"},
        {0x80000001, L"EXCEPTION_GUARD_PAGE."},
        {0x80000002, L"EXCEPTION_DATATYPE_MISALIGNMENT."},
        {0xC0000005, L"EXCEPTION_ACCESS_VIOLATION."},
        {0xC0000006, L"EXCEPTION_IN_PAGE_ERROR."},
        {0xC0000008, L"EXCEPTION_INVALID_HANDLE."},
        {0xC000001D, L"EXCEPTION_ILLEGAL_INSTRUCTION."},
        {0xC0000025, L"EXCEPTION_NONCONTINUABLE_EXCEPTION."},
        {0xC0000026, L"EXCEPTION_INVALID_DISPOSITION."},
        {0xC000008C, L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED."},
        {0xC000008D, L"EXCEPTION_FLT_DENORMAL_OPERAND."},
        {0xC000008E, L"EXCEPTION_FLT_DIVIDE_BY_ZERO."},
        {0xC000008F, L"EXCEPTION_FLT_INEXACT_RESULT."},
        {0xC0000090, L"EXCEPTION_FLT_INVALID_OPERATION."},
        {0xC0000091, L"EXCEPTION_FLT_OVERFLOW."},
        {0xC0000092, L"EXCEPTION_FLT_STACK_CHECK."},
        {0xC0000093, L"EXCEPTION_FLT_UNDERFLOW."},
        {0xC0000094, L"EXCEPTION_INT_DIVIDE_BY_ZERO."},
        {0xC0000095, L"EXCEPTION_INT_OVERFLOW."},
        {0xC0000096, L"EXCEPTION_PRIV_INSTRUCTION."},
        {0xC00000FD, L"EXCEPTION_STACK_OVERFLOW."},
        {0xC000013A, L"CONTROL_C_EXIT."},
        {0xEEEEEEEE, L"EXCEPTION_FORCE_THROW."},
        {0x80000003, L"EXCEPTION_UNKNOWN."},  // breakpoints never reach the table
        {0xE06D7363, L"EXCEPTION_UNKNOWN."},
        {0x00000000, L"EXCEPTION_UNKNOWN."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        // Parameters only matter to the codes that read them; these are
        // chosen so that none of the others may show them.
        EXPECT_EQ(Describe(c.code, {}), c.name);
        if (c.code != 0xC0000005 && c.code != 0xC0000006 && c.code != 0xEEEEEEEE) {
            EXPECT_EQ(Describe(c.code, {0, 0x1234, 0x5678}), c.name);
        }
    }
}

TEST(ExceptionDescription, AccessViolationsAndPageErrorsTellKindAndAddresses) {
    const std::wstring av = L"EXCEPTION_ACCESS_VIOLATION.";
    const std::wstring page = L"EXCEPTION_IN_PAGE_ERROR.";
    const struct {
        DWORD code;
        std::vector<ULONG_PTR> params;
        std::wstring expected;
    } cases[] = {
        {0xC0000005, {0, 0}, av + L"Attempted to read the inaccessible data.Virtual address 0x00000000."},
        {0xC0000005, {1, 0xDEADBEEF}, av + L"Attempted to write to an inaccessible address.Virtual address 0xDEADBEEF."},
        {0xC0000005, {8, 0x401000},
         av + L"Causes a user-mode data execution prevention (DEP) violation.Virtual address 0x00401000."},
        {0xC0000005, {2, 0x10}, av + L"Virtual address 0x00000010."},
        {0xC0000005, {0}, av},
        {0xC0000006, {0, 0x2000, 0xC000009C},
         page + L"Attempted to read the inaccessible data.Virtual address 0x00002000.NTSTATUS 0xC000009C."},
        {0xC0000006, {7, 0x2000, 0x1}, page + L"Virtual address 0x00002000.NTSTATUS 0x00000001."},
        {0xC0000006, {0, 0x2000}, page},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(c.code, c.params), c.expected);
    }
}

TEST(ExceptionDescription, ForcedThrowCarriesItsMessage) {
    const wchar_t message[] = L"?purecall??386@@f@@file?";
    EXPECT_EQ(Describe(0xEEEEEEEE, {reinterpret_cast<ULONG_PTR>(message)}),
              std::wstring(L"EXCEPTION_FORCE_THROW.") + message);
    EXPECT_EQ(Describe(0xEEEEEEEE, {0}), L"EXCEPTION_FORCE_THROW.");
    EXPECT_EQ(Describe(0xEEEEEEEE, {}), L"EXCEPTION_FORCE_THROW.");
}

TEST(ExceptionDescription, ForeignTextIsReadOnlyWhereMemoryIsReadable) {
    // A stale pointer that reuses the private code must not crash the filter.
    EXPECT_EQ(Describe(0xEEEEEEEE, {0x10}), L"EXCEPTION_FORCE_THROW.");

    // A text running into an inaccessible page ends at the page boundary.
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    auto* pages = static_cast<char*>(
        ::VirtualAlloc(nullptr, 2 * info.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(pages + info.dwPageSize, info.dwPageSize, PAGE_NOACCESS, &old));
    auto* tail = reinterpret_cast<wchar_t*>(pages + info.dwPageSize) - 3;
    tail[0] = L'a';
    tail[1] = L'b';
    tail[2] = L'c';  // no NUL before the inaccessible page
    EXPECT_EQ(Describe(0xEEEEEEEE, {reinterpret_cast<ULONG_PTR>(tail)}), L"EXCEPTION_FORCE_THROW.abc");
    ::VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(ExceptionDescription, LongMessageIsCutTo32767Characters) {
    const std::wstring message(40000, L'm');
    const std::wstring description =
        Describe(0xEEEEEEEE, {reinterpret_cast<ULONG_PTR>(message.c_str())},
                 crash::thrower::exception_context::kDescriptionUnits);
    ASSERT_EQ(description.size(), 32767u);
    EXPECT_EQ(description.substr(0, 22), L"EXCEPTION_FORCE_THROW.");
    EXPECT_EQ(description.back(), L'm');
}

TEST(ExceptionDescription, RandomRecordsStayInsideTheField) {
    std::mt19937 random(20240607);
    const DWORD interesting[] = {0xC0000005, 0xC0000006, 0xEEEEEEEE, 0x80000001, 0x12345678};
    std::vector<wchar_t> scratch(64);
    for (int round = 0; round < 2000; ++round) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = (round % 3 == 0) ? random() : interesting[random() % 5];
        record.NumberParameters = random() % (EXCEPTION_MAXIMUM_PARAMETERS + 1);
        for (auto& p : record.ExceptionInformation) p = random();
        // Force-throw parameters either point at real text or are junk.
        if (record.ExceptionCode == 0xEEEEEEEE && random() % 2) {
            for (auto& c : scratch) c = static_cast<wchar_t>(random() % 0xD7FF);
            scratch.back() = L'\0';
            record.ExceptionInformation[0] = reinterpret_cast<ULONG_PTR>(scratch.data());
        }
        const std::size_t capacity = 1 + random() % 120;
        std::vector<wchar_t> field(capacity + 1, L'#');
        bounded_text text(field.data(), capacity);
        describe_exception(record, text);
        ASSERT_EQ(field[capacity], L'#');
        const std::wstring got(field.data());
        const std::wstring name = exception_code_name(record.ExceptionCode);
        ASSERT_LT(got.size(), capacity);
        ASSERT_GE(got.size(), std::min(name.size(), capacity - 1));
        ASSERT_EQ(got.substr(0, name.size()), name.substr(0, got.size()));
    }
}

}  // namespace
