#include "io/job_status.h"

#include <cerrno>

namespace varn {

JobStatus JobStatus::FromErrno(std::string path, std::string action) {
    const int code = errno != 0 ? errno : EIO;
    return Failure(std::move(path), std::error_code(code, std::generic_category()),
                   std::move(action));
}

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

void AppendEscaped(std::string& text, char c) {
    switch (c) {
        case '\n':
            text += "\\n";
            return;
        case '\r':
            text += "\\r";
            return;
        case '\t':
            text += "\\t";
            return;
        default:
            break;
    }
    if (!IsControl(c)) {
        text += c;
        return;
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    text += "\\x";
    text += kHex[byte >> 4];
    text += kHex[byte & 0xf];
}

}  // namespace

std::string EscapeControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) AppendEscaped(shown, c);
    return shown;
}

std::string DisplayName(std::string_view name) {
    if (name.empty()) return "''";
    bool plain = true;
    for (const char c : name) plain = plain && !IsControl(c);
    if (plain) return std::string(name);
    std::string shown = "$'";
    for (const char c : name) {
        if (c == '\\' || c == '\'') shown += '\\';
        AppendEscaped(shown, c);
    }
    shown += '\'';
    return shown;
}

std::string JobStatus::Message() const {
    if (ok()) return {};
    std::string text = DisplayName(path);
    if (!action.empty()) text += ": " + action;
    text += ": " + (detail.empty() ? error.message() : detail);
    return text;
}

}  // namespace varn
