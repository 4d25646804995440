#pragma once
// Holds an object that is built on first use and never destroyed. The crash
// filter may still run while static objects are being destroyed at exit
// (a catcher that leaves its hooks installed), so what it relies on must
// outlive every static destructor; the system reclaims it with the process.

#include <new>
#include <utility>

namespace crash::thrower::exception_toolkit {

template <typename T>
class no_destructor {
public:
    template <typename... Args>
    explicit no_destructor(Args&&... args) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    }
    no_destructor(const no_destructor&) = delete;
    no_destructor& operator=(const no_destructor&) = delete;

    T& get() noexcept { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace crash::thrower::exception_toolkit
