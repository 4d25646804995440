#pragma once
// The later rules that can take versions from a rule: those whose version
// boxes meet its own. A document of many small rules (one version or a few
// each) would be checked pair by pair otherwise, which for the 16 MiB a
// launcher reads is billions of pairs.

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "release/version_space.h"

namespace release {

// True when some version lies in both boxes.
bool BoxesMeet(const RuleRegion& a, const RuleRegion& b);

class LaterRuleIndex {
public:
    // `regions[i]` is rule i's region, or nullptr for a rule the selection
    // can never pick (it then meets nothing).
    explicit LaterRuleIndex(const std::vector<const RuleRegion*>& regions);

    // The rules after `i` whose boxes meet rule i's, in ascending order.
    std::vector<size_t> MeetingLater(size_t i) const;

private:
    // Rules whose first three fields are single values, by those values,
    // each group sorted by the low end of the fourth field.
    using Prefix = std::tuple<int64_t, int64_t, int64_t>;
    struct Narrow {
        int64_t low = 0;
        int64_t high = 0;
        size_t index = 0;
    };
    struct Group {
        std::vector<Narrow> rules;
        int64_t widest = 0;  // largest high - low in the group
    };

    void CollectFromGroup(const Group& group, const RuleRegion& region, size_t i, std::vector<size_t>& out) const;

    const std::vector<const RuleRegion*>& regions_;
    std::map<Prefix, Group> groups_;
    std::vector<size_t> wide_;  // every other rule, in document order
};

}  // namespace release
