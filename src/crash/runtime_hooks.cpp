#include "crash/runtime_hooks.h"

#include <windows.h>

#include <stdlib.h>

namespace crash::thrower::exception_toolkit {
namespace {

using purecall_setter = purecall_hook(__cdecl*)(purecall_hook);
using invalid_parameter_setter = invalid_parameter_hook(__cdecl*)(invalid_parameter_hook);

template <typename Function>
Function runtime_export(const char* name) noexcept {
    HMODULE runtime = ::GetModuleHandleW(L"msvcrt.dll");
    if (!runtime) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(runtime, name)));
}

purecall_setter purecall_setter_in_use() noexcept {
    if (auto exported = runtime_export<purecall_setter>("_set_purecall_handler")) return exported;
    return &::_set_purecall_handler;
}

invalid_parameter_setter invalid_parameter_setter_in_use() noexcept {
    if (auto exported = runtime_export<invalid_parameter_setter>("_set_invalid_parameter_handler")) {
        return exported;
    }
    return &::_set_invalid_parameter_handler;
}

}  // namespace

purecall_hook set_purecall_hook(purecall_hook hook) noexcept { return purecall_setter_in_use()(hook); }

invalid_parameter_hook set_invalid_parameter_hook(invalid_parameter_hook hook) noexcept {
    return invalid_parameter_setter_in_use()(hook);
}

purecall_hook current_purecall_hook() noexcept {
    // No runtime offers a getter for this hook; swapping twice reads it.
    purecall_hook current = set_purecall_hook(nullptr);
    set_purecall_hook(current);
    return current;
}

invalid_parameter_hook current_invalid_parameter_hook() noexcept {
    invalid_parameter_hook current = set_invalid_parameter_hook(nullptr);
    set_invalid_parameter_hook(current);
    return current;
}

bool runtime_offers_invalid_parameter_hook() noexcept {
    return runtime_export<invalid_parameter_setter>("_set_invalid_parameter_handler") != nullptr;
}

}  // namespace crash::thrower::exception_toolkit
