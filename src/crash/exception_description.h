#pragma once
// The human-readable description the reporter shows for an exception: a
// name per code, with the details some codes carry in their parameters.

#include <windows.h>

#include <cstdint>

#include "crash/bounded_text.h"

namespace crash::thrower::exception_toolkit {

// The private code the runtime hooks raise so that every fatal event ends in
// the same filter.
constexpr std::uint32_t kForceThrowCode = 0xEEEEEEEE;

// The name piece of a code ("EXCEPTION_ACCESS_VIOLATION." ...), or
// "EXCEPTION_UNKNOWN." for any code not in the table.
const wchar_t* exception_code_name(std::uint32_t code) noexcept;

// Appends the full description of `record`: the name piece, then for access
// violations and in-page errors the access kind and addresses, and for the
// private code the message its first parameter points to.
void describe_exception(const EXCEPTION_RECORD& record, bounded_text& out) noexcept;

// Appends a NUL-terminated text that lives at an address the filter did not
// produce itself, stopping at the first page that cannot be read. A foreign
// exception that reuses the private code with a stale pointer must not
// crash the filter that is reporting it.
void append_foreign_text(const wchar_t* text, bounded_text& out) noexcept;

}  // namespace crash::thrower::exception_toolkit
