#include "update/rule_selection.h"

namespace {

const std::string& Field(const UpdateInfo& rule, const char* key) {
    static const std::string empty;
    auto it = rule.find(key);
    return it == rule.end() ? empty : it->second;
}

}  // namespace

bool RuleAppliesTo(const UpdateInfo& rule, const std::string& installed) {
    const std::string& newVersion = Field(rule, "newversion");
    return UpdateMatcher::MatchVersion(installed, Field(rule, "version")) &&
           UpdateMatcher::MaxVersion(installed, newVersion) == newVersion;
}

std::optional<std::size_t> LastApplyingRule(const UpdateInfoList& rules, const std::string& installed) {
    for (std::size_t i = rules.size(); i-- > 0;) {
        if (RuleAppliesTo(rules[i], installed)) return i;
    }
    return std::nullopt;
}
