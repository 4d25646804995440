#pragma once
// Which rule of a parsed update document applies to one installed version,
// as an index, for callers that must say which rule the launcher picks (the
// release tool) without a data file or a launcher folder around.

#include <cstddef>
#include <optional>
#include <string>

#include "update/update_matcher.h"

// The rule applies when its "version" pattern matches `installed` and its
// "newversion" is newer than `installed` or the very same text.
bool RuleAppliesTo(const UpdateInfo& rule, const std::string& installed);

// The last rule of `rules` that applies to `installed` (the one SelectUpdate
// keeps); nothing when none does.
std::optional<std::size_t> LastApplyingRule(const UpdateInfoList& rules, const std::string& installed);
