#include "returns/record/json_string.h"

#include <optional>

#include "returns/rules/text_sanitiser.h"

namespace vat {

bool AppendJsonStringContents(std::string& escaped, std::string_view text) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    const std::size_t before = escaped.size();
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::optional<Utf8Character> character = DecodeUtf8(text, at);
            if (!character) {
                escaped.resize(before);
                return false;
            }
            escaped += text.substr(at, character->length);
            at += character->length;
            continue;
        }
        switch (c) {
            case '"':
                escaped += "\\\"";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            case '\b':
                escaped += "\\b";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\f':
                escaped += "\\f";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    escaped += "\\u00";
                    escaped += kHexDigits[c >> 4];
                    escaped += kHexDigits[c & 0xf];
                } else {
                    escaped += c;
                }
        }
        ++at;
    }
    return true;
}

}  // namespace vat
