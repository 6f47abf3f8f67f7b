#include "returns/record/record_json_failure.h"

#include <string_view>

namespace vat {

namespace {

// The text between two markers of the library's message, empty when they are not there.
std::string_view Between(std::string_view text, std::string_view before, std::string_view after) {
    const std::size_t start = text.find(before);
    if (start == std::string_view::npos) return {};
    const std::size_t from = start + before.size();
    const std::size_t end = text.find(after, from);
    if (end == std::string_view::npos) return {};
    return text.substr(from, end - from);
}

// "a number", "an object", "null": a kind of JSON value as the library names it, in a sentence.
std::string Kind(std::string_view name) {
    if (name == "null") return "null";
    const bool vowel =
        !name.empty() && std::string_view("aeiou").find(name[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(name);
}

}  // namespace

std::string RecordJsonFailure(const nlohmann::json::exception& error) {
    const std::string_view text = error.what();
    if (const auto* parse = dynamic_cast<const nlohmann::json::parse_error*>(&error))
        return "its JSON breaks off or is malformed at byte " + std::to_string(parse->byte);
    if (const std::string_view key = Between(text, "key '", "' not found"); !key.empty())
        return "it has no member \"" + std::string(key) + "\"";
    const std::string_view wanted = Between(text, "must be ", ", but is ");
    const std::size_t is = text.find(", but is ");
    if (!wanted.empty() && is != std::string_view::npos)
        return "a value is " + Kind(text.substr(is + 9)) + " where " + Kind(wanted) + " belongs";
    return "it is not as a run writes it";
}

}  // namespace vat
