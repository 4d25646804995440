#pragma once
// The C runtime's pure-call and invalid-parameter hooks.
//
// MinGW links against msvcrt.dll, which (in the versions that ship on many
// systems, and in Wine) exports neither setter. MinGW's import library fills
// the gap with setters that only remember the handler in a variable of the
// program; msvcrt.dll itself never calls it. So the setters here prefer the
// exports of the loaded msvcrt.dll, where its own parameter checks will call
// the handler, and fall back to MinGW's variables otherwise. Either way the
// handler set here is the one the program's own pure-call bridge and
// parameter checks find through current_*().

#include <cstdint>

namespace crash::thrower::exception_toolkit {

using purecall_hook = void(__cdecl*)();
using invalid_parameter_hook = void(__cdecl*)(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int,
                                              std::uintptr_t);

// Each returns the hook it replaced.
purecall_hook set_purecall_hook(purecall_hook hook) noexcept;
invalid_parameter_hook set_invalid_parameter_hook(invalid_parameter_hook hook) noexcept;

purecall_hook current_purecall_hook() noexcept;
invalid_parameter_hook current_invalid_parameter_hook() noexcept;

// True when the loaded msvcrt.dll takes the invalid-parameter handler itself
// (and so calls it from its own checks).
bool runtime_offers_invalid_parameter_hook() noexcept;

}  // namespace crash::thrower::exception_toolkit
