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
namespace net {
struct TransferLimits;
}

// The key compiled into this program; "" when none.
const char* BuiltInUpdatePublicKey();

// The time this launcher was built (CMake cache variable
// TARSEL_UPDATE_TIMESTAMP_FLOOR, seconds since 1970, set when the build
// folder is first configured): the floor used when the recorded one is lost.
std::uint64_t BuiltInTimestampFloor();

enum class Freshness { kFresh, kOlder, kMissingTimestamp };

// Once a timestamped document has been accepted, a document must carry a
// timestamp at least as new (the same document is fetched again at every
// check). Nothing recorded: anything is fresh.
Freshness CheckFreshness(std::optional<std::uint64_t> document, std::optional<std::uint64_t> recorded);

// The floor the recorded value "timestamp" sets. Nothing recorded (""):
// no floor, as before the first signed document. Plain decimal digits up
// to the end of year 9999: that value. Anything else ("1.7e9", 23 digits,
// "-1", a value no signer's clock gives) was written by something other
// than this launcher, or damaged: a floor was recorded and its value lost.
// Reading it as none would let the next replayed document through, and as
// "refuse all" would stop every update for ever; it reads as
// `lostFloorSubstitute` (the launcher's build time), below which no
// document this launcher was built for can lie, and the next accepted
// document records a readable value again.
std::optional<std::uint64_t> ReadRecordedFloor(const std::wstring& value, std::uint64_t lostFloorSubstitute);

// Seconds since 1970 of the last second of year 9999.
inline constexpr std::uint64_t kLatestPlausibleTimestamp = 253402300799ULL;

struct DocumentCheck {
    bool accepted = false;
    std::optional<std::uint64_t> timestamp;  // of an accepted signed document
    // Keeps the verified file from being rewritten, renamed or deleted
    // until it has been parsed: what is parsed is what was verified.
    Util::UniqueFile hold;
};

// `documentPath` (ANSI) is the downloaded document; the signature is
// fetched into `stagingDir`. With an empty `publicKeyLine` the document is
// accepted and nothing is fetched or held. Every refusal is explained on
// the debug output.
DocumentCheck CheckUpdateDocument(const std::string& publicKeyLine, const std::string& serverAddress,
                                  const std::string& documentPath, const CIniFile& launcherData,
                                  const std::wstring& stagingDir, const net::TransferLimits& signatureLimits);

// Writes key "timestamp" when the accepted document carried one that
// differs from what is recorded.
void RecordDocumentTimestamp(CIniFile& launcherData, const DocumentCheck& check);
