#include "release/signature_check.h"

namespace release {

bool HasSignatureSupport() { return false; }

SignatureVerdict VerifyDocumentSignature(const std::wstring&, const std::wstring&) {
    return {false, "this build has no signature support"};
}

}  // namespace release
