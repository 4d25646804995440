#include "crash/exception_description.h"

namespace crash::thrower::exception_toolkit {
namespace {

struct CodeName {
    std::uint32_t code;
    const wchar_t* name;
};

constexpr CodeName kCodeNames[] = {
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
    {kForceThrowCode, L"EXCEPTION_FORCE_THROW."},
};

const wchar_t* access_kind(ULONG_PTR kind) noexcept {
    switch (kind) {
        case 0: return L"Attempted to read the inaccessible data.";
        case 1: return L"Attempted to write to an inaccessible address.";
        case 8: return L"Causes a user-mode data execution prevention (DEP) violation.";
        default: return nullptr;
    }
}

void append_labelled_hex(const wchar_t* label, ULONG_PTR value, bounded_text& out) noexcept {
    out.append(label).append_hex8(static_cast<std::uint32_t>(value)).append(L'.');
}

bool is_readable(const MEMORY_BASIC_INFORMATION& info) noexcept {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return info.State == MEM_COMMIT && (info.Protect & kReadable) != 0 &&
           (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

}  // namespace

const wchar_t* exception_code_name(std::uint32_t code) noexcept {
    for (const CodeName& entry : kCodeNames) {
        if (entry.code == code) return entry.name;
    }
    return L"EXCEPTION_UNKNOWN.";
}

void append_foreign_text(const wchar_t* text, bounded_text& out) noexcept {
    const wchar_t* cursor = text;
    while (cursor) {
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(cursor, &info, sizeof info) != sizeof info || !is_readable(info)) return;
        const auto* regionEnd = reinterpret_cast<const wchar_t*>(
            static_cast<const char*>(info.BaseAddress) + info.RegionSize);
        // A character that straddles the region end is read only when the
        // next region is readable too, which the next round checks.
        while (cursor + 1 <= regionEnd) {
            if (*cursor == L'\0') return;
            out.append(*cursor++);
            if (out.truncated()) return;
        }
        if (cursor != regionEnd) return;  // misaligned text across a boundary: stop short
    }
}

void describe_exception(const EXCEPTION_RECORD& record, bounded_text& out) noexcept {
    const std::uint32_t code = record.ExceptionCode;
    out.append(exception_code_name(code));
    const DWORD count = record.NumberParameters;
    const ULONG_PTR* params = record.ExceptionInformation;
    switch (code) {
        case 0xC0000005:
            if (count >= 2) {
                out.append(access_kind(params[0]));
                append_labelled_hex(L"Virtual address ", params[1], out);
            }
            break;
        case 0xC0000006:
            if (count >= 3) {
                out.append(access_kind(params[0]));
                append_labelled_hex(L"Virtual address ", params[1], out);
                append_labelled_hex(L"NTSTATUS ", params[2], out);
            }
            break;
        case kForceThrowCode:
            if (count >= 1 && params[0] != 0) {
                append_foreign_text(reinterpret_cast<const wchar_t*>(params[0]), out);
            }
            break;
        default:
            break;
    }
}

}  // namespace crash::thrower::exception_toolkit
