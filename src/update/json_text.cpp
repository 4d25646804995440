#include "update/json_text.h"

namespace json_text {
namespace {

const Json::Value& NullValue() {
    static const Json::Value null;
    return null;
}

const Json::Value* FindMember(const Json::Value& object, const char* name) {
    if (!object.isObject()) return nullptr;
    return object.find(name, name + std::char_traits<char>::length(name));
}

}  // namespace

std::string ValueAsText(const Json::Value& value, std::string_view document) {
    switch (value.type()) {
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (value.getString(&begin, &end) && begin) return std::string(begin, end);
        return std::string();
    }
    case Json::booleanValue:
        return value.asBool() ? "true" : "false";
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue: {
        // The parser records where each value stands in the document: the
        // number's own text avoids a round trip through double ("1.10"
        // stays "1.10", not "1.1000000000000001").
        auto start = static_cast<size_t>(value.getOffsetStart());
        auto limit = static_cast<size_t>(value.getOffsetLimit());
        if (start < limit && limit <= document.size()) return std::string(document.substr(start, limit - start));
        return value.asString();
    }
    default:
        return std::string();
    }
}

std::string MemberAsText(const Json::Value& object, const char* name, std::string_view document) {
    const Json::Value* member = FindMember(object, name);
    return member ? ValueAsText(*member, document) : std::string();
}

const Json::Value& MemberIfArray(const Json::Value& object, const char* name) {
    const Json::Value* member = FindMember(object, name);
    return member && member->isArray() ? *member : NullValue();
}

const Json::Value& MemberIfObject(const Json::Value& object, const char* name) {
    const Json::Value* member = FindMember(object, name);
    return member && member->isObject() ? *member : NullValue();
}

}  // namespace json_text
