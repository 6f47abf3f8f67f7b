#include "text_sanitiser.h"

namespace vat {

namespace {

constexpr std::string_view kSpecialChars = "~`!@#$%^&*()-_=+\\|[]{};:'\"<>.,/?";
static_assert(kSpecialChars.size() == 32);

}  // namespace

std::string StripSpecialChars(std::string_view text) {
    std::string stripped;
    stripped.reserve(text.size());
    for (char c : text)
        if (kSpecialChars.find(c) == std::string_view::npos) stripped += c;
    return stripped;
}

std::string XmlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '\t': case '\n': case '\r': escaped += c; break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) escaped += c;
        }
    }
    return escaped;
}

}  // namespace vat

namespace vat {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t kept = 0; at < text.size(); ++at) {
        if (!IsContinuationByte(text[at]) && kept++ == count) break;
    }
    return std::string(text.substr(0, at));
}

}  // namespace vat
