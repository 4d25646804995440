#pragma once
// Authenticity of the update document. A launcher built with a minisign
// public key (CMake cache variable TARSEL_UPDATE_PUBLIC_KEY) also fetches
// "/pc/Update.cfg.minisig" and uses the document only when that signature
// holds and the document is not older than the last one accepted (the
// "timestamp:N" of its trusted comment against key "timestamp" of the data
// file). Built without a key nothing is fetched and every document is used,
// as before signatures existed.

#include <cstdint>
#include <optional>
#include <string>

#include "util/unique_handle.h"

class CIniFile;

// The key compiled into this program; "" when none.
const char* BuiltInUpdatePublicKey();

enum class Freshness { kFresh, kOlder, kMissingTimestamp };

// Once a timestamped document has been accepted, a document must carry a
// timestamp at least as new (the same document is fetched again at every
// check). Nothing recorded: anything is fresh.
Freshness CheckFreshness(std::optional<std::uint64_t> document, std::optional<std::uint64_t> recorded);

// The recorded value: plain decimal digits; anything else reads as none.
std::optional<std::uint64_t> ParseRecordedTimestamp(const std::wstring& value);

struct DocumentCheck {
    bool accepted = false;
    std::optional<std::uint64_t> timestamp;  // of an accepted signed document
    // Keeps the verified file from being rewritten, renamed or deleted
    // until it has been parsed: what is parsed is what was verified.
    Util::UniqueFile hold;
};

// `documentPath` (ANSI) is the downloaded document. With an empty
// `publicKeyLine` the document is accepted and nothing is fetched or held.
// Every refusal is explained on the debug output.
DocumentCheck CheckUpdateDocument(const std::string& publicKeyLine, const std::string& serverAddress,
                                  const std::string& documentPath, const CIniFile& launcherData);

// Writes key "timestamp" when the accepted document carried one.
void RecordDocumentTimestamp(CIniFile& launcherData, const DocumentCheck& check);
