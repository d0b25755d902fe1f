#include "cli/json_object.h"

namespace varn::cli {
namespace {

void AppendQuoted(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (code < 0x20) {
            out.append("\\u00").push_back(kHex[code >> 4]);
            out.push_back(kHex[code & 15]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

}  // namespace

void JsonObject::Key(std::string_view key) {
    if (!fields_.empty()) fields_.append(", ");
    AppendQuoted(fields_, key);
    fields_.append(": ");
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) {
    Key(key);
    AppendQuoted(fields_, text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::int64_t number) {
    Key(key);
    fields_.append(std::to_string(number));
    return *this;
}

}  // namespace varn::cli
