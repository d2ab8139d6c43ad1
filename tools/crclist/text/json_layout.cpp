#include "tools/crclist/text/json_layout.h"

namespace {

using Json = nlohmann::ordered_json;

// nlohmann-json writes U+0008 and U+000C as \b and \f; this tool has always written them as
// \u escapes, like the other control characters but \n, \r and \t.
std::string Scalar(const Json& value) {
    const std::string dumped = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out;
    out.reserve(dumped.size());
    for (std::size_t i = 0; i < dumped.size(); ++i) {
        if (dumped[i] == '\\' && i + 1 < dumped.size()) {
            const char escaped = dumped[++i];
            if (escaped == 'b') {
                out += "\\u0008";
            } else if (escaped == 'f') {
                out += "\\u000c";
            } else {
                out += '\\';
                out += escaped;
            }
            continue;
        }
        out += dumped[i];
    }
    return out;
}

bool HoldsOnlyScalars(const Json& object) {
    for (const auto& member : object) {
        if (member.is_structured()) {
            return false;
        }
    }
    return true;
}

void Layout(const Json& value, const std::string& indent, std::string& out) {
    if (!value.is_structured()) {
        out += Scalar(value);
        return;
    }
    const bool isObject = value.is_object();
    if (value.empty()) {
        out += isObject ? "{}" : "[]";
        return;
    }
    if (isObject && HoldsOnlyScalars(value)) {
        out += '{';
        const char* separator = "";
        for (const auto& [key, member] : value.items()) {
            out += separator;
            out += Scalar(Json(key)) + ": " + Scalar(member);
            separator = ", ";
        }
        out += '}';
        return;
    }
    const std::string inner = indent + "  ";
    out += isObject ? "{\n" : "[\n";
    const char* separator = "";
    for (const auto& [key, member] : value.items()) {
        out += separator;
        out += inner;
        if (isObject) {
            out += Scalar(Json(key)) + ": ";
        }
        Layout(member, inner, out);
        separator = ",\n";
    }
    out += '\n';
    out += indent;
    out += isObject ? '}' : ']';
}

}  // namespace

std::string LayoutJson(const nlohmann::ordered_json& value) {
    std::string out;
    Layout(value, "", out);
    out += '\n';
    return out;
}
