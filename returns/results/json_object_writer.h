#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string_view>

// A value written as a member `depth` levels deep of what nlohmann's dump with an indent of 2
// writes: its lines after the first indented to match. Text that is not UTF-8 is replaced.
void WriteNestedJson(std::ostream& out, const nlohmann::ordered_json& value, int depth);

// A JSON object written member by member as its values become known, byte for byte as the dump
// of the whole object `depth` levels deep, so that a report of many months is never held whole.
class JsonObjectWriter {
public:
    // Writes the opening brace where the output stands.
    JsonObjectWriter(std::ostream& out, int depth);
    JsonObjectWriter(const JsonObjectWriter&) = delete;
    JsonObjectWriter& operator=(const JsonObjectWriter&) = delete;

    void Member(std::string_view key, const nlohmann::ordered_json& value);
    // An object member written member by member by the writer returned, until its Close.
    JsonObjectWriter OpenObject(std::string_view key);
    // An array member whose elements follow one at a time, until CloseArray.
    void OpenArray(std::string_view key);
    void Element(const nlohmann::ordered_json& value);
    // An object element written member by member by the writer returned, until its Close.
    JsonObjectWriter OpenObjectElement();
    void CloseArray();
    // Writes the closing brace.
    void Close();

private:
    void Key(std::string_view key);
    void NextElement();

    std::ostream& out_;
    int depth_;
    bool hasMembers_ = false;
    bool hasElements_ = false;
};
