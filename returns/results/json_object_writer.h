#pragma once

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace vat {

// A value written as a member `depth` levels deep of what the JSON library's dump with an
// indent of `indent` spaces writes: its lines after the first indented to match. Text that is
// not UTF-8 is replaced.
void WriteNestedJson(std::ostream& out, const nlohmann::ordered_json& value, int depth,
                     int indent = 2);

// A JSON object written member by member as its values become known, byte for byte as the dump
// of the whole object `depth` levels deep with an indent of `indent` spaces, so that a report
// of many months, or a month's record, is never held whole.
class JsonObjectWriter {
public:
    // Writes the opening brace where the output stands.
    JsonObjectWriter(std::ostream& out, int depth, int indent = 2);
    // A writer for the members that follow those another writer wrote of the same object,
    // written elsewhere: it writes no opening brace, and its first member takes a comma.
    static JsonObjectWriter Continuing(std::ostream& out, int depth, int indent = 2);
    JsonObjectWriter(const JsonObjectWriter&) = delete;
    JsonObjectWriter& operator=(const JsonObjectWriter&) = delete;

    void Member(std::string_view key, const nlohmann::ordered_json& value);
    // An object member written member by member by the writer returned, until its Close.
    JsonObjectWriter OpenObject(std::string_view key);
    // An array member whose elements follow one at a time, until CloseArray.
    void OpenArray(std::string_view key);
    void Element(const nlohmann::ordered_json& value);
    // An element already in its JSON text: a string or number, on one line.
    void ElementText(std::string_view text);
    // An object element of members already in their JSON texts, each a string, number or null:
    // for many small objects, which the library would build and dump each.
    void ElementObject(
        std::initializer_list<std::pair<std::string_view, std::string_view>> members);
    // An object element written member by member by the writer returned, until its Close.
    JsonObjectWriter OpenObjectElement();
    void CloseArray();
    // Writes the closing brace and flushes the output.
    void Close();

private:
    struct AfterMembers {};
    JsonObjectWriter(std::ostream& out, int depth, int indent, AfterMembers);

    void Key(std::string_view key);
    void NextElement();
    void AppendNextElement(std::string& text);
    void Indent(int depth);
    void AppendIndent(std::string& text, int depth) const;

    std::ostream& out_;
    int depth_;
    int indent_;
    bool hasMembers_ = false;
    bool hasElements_ = false;
    std::string element_;  // an element being built, its room kept for the next
};

}  // namespace vat
