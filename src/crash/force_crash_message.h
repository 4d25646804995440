#pragma once
// The message a forced crash carries to the reporter in its exception's
// first parameter: ?TEXT??LINE@@FUNCTION@@FILE? (or ?TEXT??no file mark?).

#include <cstddef>
#include <cstdint>

#include "crash/bounded_text.h"

namespace crash::thrower::exception_toolkit {

// The longest message a forced crash carries, in characters.
constexpr std::size_t kForceCrashMessageUnits = 32768;

// Composes the message into `out`; a null text reads "force crash", a null
// function leaves its piece out, a null file replaces line, function and
// file by "no file mark".
void compose_force_crash_message(const wchar_t* file, const wchar_t* function, std::int32_t line,
                                 const wchar_t* text, bounded_text& out) noexcept;

}  // namespace crash::thrower::exception_toolkit
