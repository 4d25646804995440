#include "support/system_md5.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>

namespace testsupport {

struct SystemMd5::Handles {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~Handles() {
        if (hash) ::BCryptDestroyHash(hash);
        if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

SystemMd5::SystemMd5() : handles_(std::make_unique<Handles>()) {
    failed_ = !BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&handles_->algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0)) ||
              !BCRYPT_SUCCESS(::BCryptCreateHash(handles_->algorithm, &handles_->hash, nullptr, 0, nullptr, 0, 0));
}

SystemMd5::~SystemMd5() = default;

void SystemMd5::Add(const void* bytes, size_t size) {
    if (failed_ || size == 0) return;
    auto* data = static_cast<PUCHAR>(const_cast<void*>(bytes));
    failed_ = !BCRYPT_SUCCESS(::BCryptHashData(handles_->hash, data, static_cast<ULONG>(size), 0));
}

std::string SystemMd5::Finish() {
    unsigned char digest[16];
    if (failed_ || !BCRYPT_SUCCESS(::BCryptFinishHash(handles_->hash, digest, sizeof digest, 0))) return {};
    failed_ = true;  // bcrypt's hash is finished: it takes no more data
    char text[33];
    for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02X", digest[i]);
    return text;
}

std::string SystemMd5Of(const std::string& bytes) {
    SystemMd5 md5;
    md5.Add(bytes.data(), bytes.size());
    return md5.Finish();
}

}  // namespace testsupport
