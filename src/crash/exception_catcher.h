#pragma once
// The process-wide crash catcher. It owns the top-level unhandled-exception
// filter and the runtime's pure-call and invalid-parameter hooks; the two
// runtime hooks raise one private exception code, so every fatal event ends
// in the same filter, which hands a crash record to the external reporter.

#include <windows.h>

#include <cstdint>
#include <exception>

#include "crash/runtime_hooks.h"

namespace crash::thrower {

class exception_catcher {
public:
    // Stores the settings process-wide and installs the three hooks.
    exception_catcher(bool restoreOnDestruction, const wchar_t* product, const wchar_t* version,
                      bool embed) noexcept;
    virtual ~exception_catcher();
    exception_catcher(const exception_catcher&) = delete;
    exception_catcher& operator=(const exception_catcher&) = delete;

    void install() noexcept;
    void uninstall() noexcept;
    bool installed() const noexcept { return installed_; }

    // The hooks. Each is also callable directly, which is how the tests
    // drive them.
    static LONG WINAPI exception_filter(EXCEPTION_POINTERS* pointers) noexcept;
    static void __cdecl purecall_handler() noexcept;
    // std::terminate's handler: an uncaught C++ exception (on i686 one that
    // reaches a frame of the system, where the unwinder stops) is reported
    // as a forced crash naming the exception.
    [[noreturn]] static void terminate_handler() noexcept;
    static void __cdecl invalid_parameter_handler(const wchar_t* expression, const wchar_t* function,
                                                  const wchar_t* file, unsigned int line,
                                                  std::uintptr_t reserved) noexcept;

    // Raises the private exception code, non-continuable, carrying the
    // composed message. Does not return.
    [[noreturn]] static void force_crash(const wchar_t* file, const wchar_t* function, std::int32_t line,
                                         const wchar_t* text) noexcept;

private:
    bool installed_ = false;
    bool restoreOnDestruction_;
    exception_toolkit::invalid_parameter_hook previousInvalidParameter_ = nullptr;
    exception_toolkit::purecall_hook previousPurecall_ = nullptr;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_ = nullptr;
    std::terminate_handler previousTerminate_ = nullptr;
};

// The settings the filter reads, as the last constructed catcher stored them.
const wchar_t* catcher_product() noexcept;
const wchar_t* catcher_version() noexcept;
bool catcher_embed() noexcept;

}  // namespace crash::thrower
