#include "returns/record/json_string.h"

#include <nlohmann/json.hpp>
#include <optional>

#include "returns/rules/text_sanitiser.h"

namespace vat {

bool AppendJsonStringContents(std::string& escaped, std::string_view text) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    const std::size_t before = escaped.size();
    // Characters kept as they stand are copied a run at a time.
    std::size_t run = 0;
    const auto endRun = [&](std::size_t at) { escaped.append(text, run, at - run); };
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::optional<Utf8Character> character = DecodeUtf8(text, at);
            if (!character) {
                escaped.resize(before);
                return false;
            }
            at += character->length;
            continue;
        }
        if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) {
            ++at;
            continue;
        }
        endRun(at);
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
                escaped += "\\u00";
                escaped += kHexDigits[c >> 4];
                escaped += kHexDigits[c & 0xf];
        }
        run = ++at;
    }
    endRun(text.size());
    return true;
}

std::string JsonStringText(std::string_view text) {
    std::string quoted(1, '"');
    if (!AppendJsonStringContents(quoted, text))
        return nlohmann::ordered_json(std::string(text))
            .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    quoted += '"';
    return quoted;
}

bool ReadPlainJsonString(std::string_view text, std::size_t& at, std::string& contents) {
    // What is copied as it stands: neither quote, backslash, control nor a byte beyond ASCII.
    const auto plain = [](unsigned char c) {
        return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
    };
    contents.clear();
    for (++at; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (plain(c)) {
            // The run of plain characters, copied at once.
            std::size_t end = at + 1;
            while (end < text.size() && plain(static_cast<unsigned char>(text[end]))) ++end;
            contents.append(text, at, end - at);
            at = end - 1;
            continue;
        }
        if (c == '"') {
            ++at;
            return true;
        }
        if (c < 0x20) return false;
        if (c >= 0x80) {
            const std::optional<Utf8Character> character = DecodeUtf8(text, at);
            if (!character) return false;
            contents += text.substr(at, character->length);
            at += character->length - 1;
            continue;
        }
        if (++at == text.size()) return false;
        switch (text[at]) {
            case '"':
            case '\\':
            case '/':
                contents += text[at];
                break;
            case 'b':
                contents += '\b';
                break;
            case 'f':
                contents += '\f';
                break;
            case 'n':
                contents += '\n';
                break;
            case 'r':
                contents += '\r';
                break;
            case 't':
                contents += '\t';
                break;
            default:
                return false;
        }
    }
    return false;
}

}  // namespace vat
