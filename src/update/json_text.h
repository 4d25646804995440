#pragma once
// Reading values of the update configuration document as text, whatever
// JSON type the server put there.

#include <json/value.h>

#include <string>
#include <string_view>

namespace json_text {

// A string as its bytes; a number or boolean as its JSON text (a number
// exactly as written in `document`, which the value was parsed from);
// null, arrays and objects as "".
std::string ValueAsText(const Json::Value& value, std::string_view document);

// The member `name` of `object` as text; "" when `object` is not an object
// or has no such member.
std::string MemberAsText(const Json::Value& object, const char* name, std::string_view document);

// The member `name` of `object` when it has the wanted type, otherwise a
// shared empty value, so that a wrong type reads like a missing member.
const Json::Value& MemberIfArray(const Json::Value& object, const char* name);
const Json::Value& MemberIfObject(const Json::Value& object, const char* name);

}  // namespace json_text
