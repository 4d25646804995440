#pragma once
// A copy of some bytes placed right against an inaccessible page, so that a
// read one byte past the end (or before the start) faults at once instead
// of going unnoticed.

#include <windows.h>

#include <cstring>
#include <string>

namespace skintest {

class GuardedBytes {
public:
    enum class Guard { After, Before };

    GuardedBytes(const std::string& bytes, Guard guard) : size_(bytes.size()) {
        const SIZE_T page = 4096;
        const SIZE_T dataPages = (bytes.size() + page - 1) / page + 1;
        total_ = (dataPages + 1) * page;
        base_ = static_cast<char*>(::VirtualAlloc(nullptr, total_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base_) return;
        DWORD old = 0;
        if (guard == Guard::After) {
            char* guardPage = base_ + dataPages * page;
            ::VirtualProtect(guardPage, page, PAGE_NOACCESS, &old);
            data_ = guardPage - bytes.size();
        } else {
            ::VirtualProtect(base_, page, PAGE_NOACCESS, &old);
            data_ = base_ + page;
        }
        if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
    }
    ~GuardedBytes() {
        if (base_) ::VirtualFree(base_, 0, MEM_RELEASE);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    const char* data() const { return data_; }
    unsigned long size() const { return static_cast<unsigned long>(size_); }
    bool valid() const { return base_ != nullptr; }

private:
    char* base_ = nullptr;
    char* data_ = nullptr;
    SIZE_T total_ = 0;
    std::size_t size_;
};

}  // namespace skintest
