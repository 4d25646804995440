#include "release/later_rules.h"

#include <algorithm>

namespace release {
namespace {

bool SingleValue(const FieldRange& range) { return !range.Empty() && range.low == range.high; }

bool RangesMeet(const FieldRange& a, const FieldRange& b) {
    return !a.Empty() && !b.Empty() && a.low <= b.high && b.low <= a.high;
}

}  // namespace

bool BoxesMeet(const RuleRegion& a, const RuleRegion& b) {
    for (size_t k = 0; k < 4; ++k) {
        if (!RangesMeet(a.box[k], b.box[k])) return false;
    }
    return true;
}

LaterRuleIndex::LaterRuleIndex(const std::vector<const RuleRegion*>& regions) : regions_(regions) {
    for (size_t i = 0; i < regions.size(); ++i) {
        const RuleRegion* region = regions[i];
        if (!region || std::any_of(region->box.begin(), region->box.end(),
                                   [](const FieldRange& field) { return field.Empty(); })) {
            continue;  // a box without versions meets nothing
        }
        const auto& box = region->box;
        if (SingleValue(box[0]) && SingleValue(box[1]) && SingleValue(box[2])) {
            Group& group = groups_[Prefix{box[0].low, box[1].low, box[2].low}];
            group.rules.push_back({box[3].low, box[3].high, i});
            group.widest = std::max(group.widest, box[3].high - box[3].low);
        } else {
            wide_.push_back(i);
        }
    }
    for (auto& [prefix, group] : groups_) {
        std::stable_sort(group.rules.begin(), group.rules.end(),
                         [](const Narrow& a, const Narrow& b) { return a.low < b.low; });
    }
}

void LaterRuleIndex::CollectFromGroup(const Group& group, const RuleRegion& region, size_t i,
                                      std::vector<size_t>& out) const {
    const FieldRange& wanted = region.box[3];
    // Rules that start after the wanted range ends cannot meet it; walking
    // down from there, none that starts more than the group's widest span
    // before it can reach it either.
    auto end = std::upper_bound(group.rules.begin(), group.rules.end(), wanted.high,
                                [](int64_t value, const Narrow& rule) { return value < rule.low; });
    for (auto it = end; it != group.rules.begin();) {
        --it;
        if (it->low < wanted.low - group.widest) break;
        if (it->index > i && it->high >= wanted.low) out.push_back(it->index);
    }
}

std::vector<size_t> LaterRuleIndex::MeetingLater(size_t i) const {
    std::vector<size_t> out;
    const RuleRegion* region = i < regions_.size() ? regions_[i] : nullptr;
    if (!region) return out;
    for (const FieldRange& field : region->box) {
        if (field.Empty()) return out;  // a box without versions meets nothing
    }
    for (size_t w : wide_) {
        if (w > i && BoxesMeet(*region, *regions_[w])) out.push_back(w);
    }
    const auto& box = region->box;
    if (SingleValue(box[0]) && SingleValue(box[1]) && SingleValue(box[2])) {
        if (auto found = groups_.find(Prefix{box[0].low, box[1].low, box[2].low}); found != groups_.end()) {
            CollectFromGroup(found->second, *region, i, out);
        }
    } else {
        for (const auto& [prefix, group] : groups_) {
            const auto& [first, second, third] = prefix;
            if (first < box[0].low || first > box[0].high || second < box[1].low || second > box[1].high ||
                third < box[2].low || third > box[2].high) {
                continue;
            }
            CollectFromGroup(group, *region, i, out);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace release
