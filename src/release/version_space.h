#pragma once
// The installed versions a rule reaches, as a region of the space of
// four-number versions, so that questions about all versions ("does any
// version match?", "do later rules take every version this one would
// get?") are answered exactly instead of by trying samples.
//
// Versions are taken in their plain form (no leading zeros), the way
// version folders are named; each field lies in 0 .. INT_MAX.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace release {

using Version = std::array<int64_t, 4>;

struct FieldRange {
    int64_t low = 0;
    int64_t high = -1;  // empty when high < low
    bool Empty() const { return high < low; }
};

// What one pattern field admits, or why it admits nothing.
struct FieldReading {
    FieldRange range;
    std::string problem;  // "" when the field reads fine
};
FieldReading ReadPatternField(const std::string& field);

// A rule as the selection sees it: the versions its pattern matches and the
// package version it hands out.
struct RuleRegion {
    std::array<FieldRange, 4> box;
    Version package{};
    // The selection also takes a package of the very same text; for plain
    // versions that is the package version when it is written plainly.
    bool packageEqualApplies = false;
};

// Whether the selection picks this rule for `installed`.
bool Applies(const RuleRegion& rule, const Version& installed);

// The versions matched by the box that the package is not newer than:
// the smallest one, if any.
std::optional<Version> FirstMatchedNotOlderThanPackage(const RuleRegion& rule);

// True when the rule applies to no version at all.
bool AppliesToNone(const RuleRegion& rule);

// Whether the later rules take every version `rule` applies to.
enum class HiddenVerdict { kNotHidden, kHidden, kTooComplex };
struct HiddenResult {
    HiddenVerdict verdict = HiddenVerdict::kNotHidden;
    std::vector<size_t> hiders;  // indexes into `later` that took some version
};
HiddenResult CheckHidden(const RuleRegion& rule, const std::vector<RuleRegion>& later);

std::string VersionText(const Version& version);

}  // namespace release
