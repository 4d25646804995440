#pragma once
// Runs code the system calls back (window procedures, thread start routines)
// so that no exception it leaves unhandled can vanish.
//
// Two things get lost at such a boundary otherwise. 64-bit Windows, and
// Wine, swallow a structured exception (an access violation, say) that
// leaves a callback made from the kernel, such as a window procedure during
// CreateWindowEx: the program goes on in a broken state, or hangs hidden.
// And a C++ exception cannot cross a frame of the system at all; on i686,
// where this toolchain unwinds with DWARF tables, the unwinder stops there
// and the runtime ends the process through std::terminate.
//
// Inside GuardCallback an unhandled structured exception is handed to the
// process's unhandled-exception filter (the crash catcher, when one is
// installed), exactly as at the base of a thread, and the process then ends
// with the exception's code; a C++ exception leaving the callback goes to
// std::terminate, whose handler the crash catcher sets to report it.

#include <type_traits>
#include <utility>

namespace Util {

namespace detail {
using GuardedBody = void (*)(void* context);
// Calls body(context) inside the guard. Not reentrant-sensitive: guards
// nest, the innermost one sees the exception first.
void RunGuarded(GuardedBody body, void* context);
}  // namespace detail

// Calls callback() inside the guard and returns what it returns.
template <typename Callback>
auto GuardCallback(Callback&& callback) -> decltype(callback()) {
    using Result = decltype(callback());
    if constexpr (std::is_void_v<Result>) {
        detail::RunGuarded([](void* context) { (*static_cast<std::remove_reference_t<Callback>*>(context))(); },
                           &callback);
    } else {
        struct Call {
            std::remove_reference_t<Callback>* callback;
            Result result{};
        } call{&callback};
        detail::RunGuarded([](void* context) {
            auto* c = static_cast<Call*>(context);
            c->result = (*c->callback)();
        }, &call);
        return call.result;
    }
}

}  // namespace Util
