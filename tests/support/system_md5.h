#pragma once
// MD5 by Windows' own implementation (bcrypt), for checks that must not
// rest on the product's digest code: what a test or a benchmark compares
// the product's results with is computed here.

#include <cstddef>
#include <memory>
#include <string>

namespace testsupport {

class SystemMd5 {
public:
    SystemMd5();
    ~SystemMd5();
    SystemMd5(const SystemMd5&) = delete;
    SystemMd5& operator=(const SystemMd5&) = delete;

    void Add(const void* bytes, size_t size);
    // The digest of everything added, as 32 upper-case hexadecimal digits;
    // "" when bcrypt failed at any step. Call once.
    std::string Finish();

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
    bool failed_ = false;
};

// The upper-case MD5 of `bytes`.
std::string SystemMd5Of(const std::string& bytes);

}  // namespace testsupport
