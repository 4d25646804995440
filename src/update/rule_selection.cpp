#include "update/rule_selection.h"

bool RuleAppliesTo(const UpdateInfo& rule, const std::string& installed) {
    const std::string& newVersion = UpdateInfoField(rule, "newversion");
    return UpdateMatcher::MatchVersion(installed, UpdateInfoField(rule, "version")) &&
           UpdateMatcher::MaxVersion(installed, newVersion) == newVersion;
}

std::optional<std::size_t> LastApplyingRule(const UpdateInfoList& rules, const std::string& installed) {
    for (std::size_t i = rules.size(); i-- > 0;) {
        if (RuleAppliesTo(rules[i], installed)) return i;
    }
    return std::nullopt;
}
