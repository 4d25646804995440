#include "release/version_space.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "update/version_pattern.h"

namespace release {
namespace {

constexpr int64_t kMaxField = INT_MAX;

// Cells of the version space visited for one rule before giving up; a real
// document needs a few hundred.
constexpr int64_t kMaxCells = 2000000;

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// -1, 0, 1 as `a` is older than, equal to or newer than `b`.
int Compare(const Version& a, const Version& b) {
    for (size_t i = 0; i < 4; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

bool InBox(const std::array<FieldRange, 4>& box, const Version& v) {
    for (size_t i = 0; i < 4; ++i) {
        if (v[i] < box[i].low || v[i] > box[i].high) return false;
    }
    return true;
}

bool Overlaps(const std::array<FieldRange, 4>& a, const std::array<FieldRange, 4>& b) {
    for (size_t i = 0; i < 4; ++i) {
        if (std::max(a[i].low, b[i].low) > std::min(a[i].high, b[i].high)) return false;
    }
    return true;
}

// The smallest value of `range` above `value`, if any.
std::optional<int64_t> SmallestAbove(const FieldRange& range, int64_t value) {
    int64_t candidate = std::max(range.low, value + 1);
    if (candidate > range.high) return std::nullopt;
    return candidate;
}

}  // namespace

FieldReading ReadPatternField(const std::string& field) {
    FieldReading reading;
    if (field == "*") {
        reading.range = {0, kMaxField};
        return reading;
    }
    std::string_view low, high;
    if (version_text::SplitRange(field, low, high)) {
        reading.range = {version_text::ReadNumber(low), version_text::ReadNumber(high)};
        if (reading.range.Empty()) {
            reading.problem = "the range " + field + " is empty (its low end is above its high end)";
        }
        return reading;
    }
    if (!AllDigits(field)) {
        reading.problem = "the field \"" + field + "\" is neither *, a range [low-high] nor a number";
        return reading;
    }
    if (field.size() > 1 && field[0] == '0') {
        reading.problem = "the field \"" + field + "\" has a leading zero: it matches only folders written that way";
        return reading;
    }
    int64_t value = version_text::ReadNumber(field);
    reading.range = {value, value};
    return reading;
}

bool Applies(const RuleRegion& rule, const Version& installed) {
    if (!InBox(rule.box, installed)) return false;
    int order = Compare(installed, rule.package);
    return order < 0 || (order == 0 && rule.packageEqualApplies);
}

std::optional<Version> FirstMatchedNotOlderThanPackage(const RuleRegion& rule) {
    const Version& p = rule.package;
    if (InBox(rule.box, p)) return p;
    // Keep the package's first k fields, go above it in field k, and take
    // the smallest values after that; the longest kept prefix is smallest.
    for (int k = 3; k >= 0; --k) {
        bool prefixInBox = true;
        for (int i = 0; i < k; ++i) prefixInBox = prefixInBox && p[i] >= rule.box[i].low && p[i] <= rule.box[i].high;
        if (!prefixInBox) continue;
        std::optional<int64_t> above = SmallestAbove(rule.box[k], p[k]);
        if (!above) continue;
        Version v = p;
        v[k] = *above;
        for (int i = k + 1; i < 4; ++i) v[i] = rule.box[i].low;
        return v;
    }
    return std::nullopt;
}

bool AppliesToNone(const RuleRegion& rule) {
    for (const FieldRange& f : rule.box) {
        if (f.Empty()) return true;
    }
    Version lowest{rule.box[0].low, rule.box[1].low, rule.box[2].low, rule.box[3].low};
    return !Applies(rule, lowest);
}

HiddenResult CheckHidden(const RuleRegion& rule, const std::vector<RuleRegion>& later) {
    HiddenResult result;
    if (AppliesToNone(rule)) return result;
    std::vector<size_t> near;
    for (size_t j = 0; j < later.size(); ++j) {
        if (!AppliesToNone(later[j]) && Overlaps(rule.box, later[j].box)) near.push_back(j);
    }
    if (near.empty()) return result;

    // Every boundary of a box and every package field splits an axis; in
    // each cell between the splits every rule then answers alike, so one
    // version per cell (its lowest) stands for the whole cell.
    std::array<std::vector<int64_t>, 4> starts;
    int64_t cells = 1;
    for (size_t k = 0; k < 4; ++k) {
        const FieldRange& own = rule.box[k];
        std::vector<int64_t> cuts{own.low, rule.package[k], rule.package[k] + 1};
        for (size_t j : near) {
            cuts.insert(cuts.end(),
                        {later[j].box[k].low, later[j].box[k].high + 1, later[j].package[k], later[j].package[k] + 1});
        }
        for (int64_t cut : cuts) {
            if (cut >= own.low && cut <= own.high) starts[k].push_back(cut);
        }
        std::sort(starts[k].begin(), starts[k].end());
        starts[k].erase(std::unique(starts[k].begin(), starts[k].end()), starts[k].end());
        cells *= static_cast<int64_t>(starts[k].size());
        if (cells > kMaxCells) {
            result.verdict = HiddenVerdict::kTooComplex;
            return result;
        }
    }

    std::vector<bool> tookSome(later.size(), false);
    std::array<size_t, 4> at{0, 0, 0, 0};
    while (true) {
        Version v{starts[0][at[0]], starts[1][at[1]], starts[2][at[2]], starts[3][at[3]]};
        if (Applies(rule, v)) {
            bool taken = false;
            for (size_t j : near) {
                if (Applies(later[j], v)) {
                    taken = true;
                    tookSome[j] = true;
                }
            }
            if (!taken) return result;  // this version gets the rule
        }
        size_t k = 4;
        while (k-- > 0) {
            if (++at[k] < starts[k].size()) break;
            at[k] = 0;
        }
        if (k == static_cast<size_t>(-1)) break;
    }
    result.verdict = HiddenVerdict::kHidden;
    for (size_t j = 0; j < later.size(); ++j) {
        if (tookSome[j]) result.hiders.push_back(j);
    }
    return result;
}

std::string VersionText(const Version& version) {
    return std::to_string(version[0]) + "." + std::to_string(version[1]) + "." + std::to_string(version[2]) + "." +
           std::to_string(version[3]);
}

}  // namespace release
