#pragma once
// Checking a document's detached signature ("FILE.minisig") the way the
// launcher will. This build has no signature verification yet: callers ask
// HasSignatureSupport() first and refuse the request when it is false
// rather than pretend to have checked anything.

#include <string>

namespace release {

bool HasSignatureSupport();

struct SignatureVerdict {
    bool verified = false;
    std::string detail;  // what was checked, or why it failed
};

// Verifies `document` + ".minisig" against `publicKey` (a file or the key
// text). Only meaningful when HasSignatureSupport().
SignatureVerdict VerifyDocumentSignature(const std::wstring& document, const std::wstring& publicKey);

}  // namespace release
