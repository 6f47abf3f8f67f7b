#include "returns/results/json_object_writer.h"

#include <algorithm>
#include <string>

namespace vat {

namespace {

using Json = nlohmann::ordered_json;

std::string Dumped(const Json& value, int indent) {
    return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// A member's key in quotes and its colon: the key as it stands when it needs no escape, as
// every key here does.
void AppendKey(std::string& text, std::string_view key) {
    const bool plain = std::all_of(key.begin(), key.end(), [](char c) {
        return c >= ' ' && c <= '~' && c != '"' && c != '\\';
    });
    if (plain) {
        text += '"';
        text += key;
        text += '"';
    } else {
        text += Dumped(Json(std::string(key)), -1);
    }
    text += ": ";
}

}  // namespace

void WriteNestedJson(std::ostream& out, const Json& value, int depth, int indent) {
    // Dumped strings hold no raw line breaks, so every break is one of the layout's.
    const std::string text = Dumped(value, indent);
    const std::string margin(static_cast<std::size_t>(depth * indent), ' ');
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.write(text.data() + from, static_cast<std::streamsize>(at + 1 - from));
        out << margin;
        from = at + 1;
    }
    out.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
}

JsonObjectWriter::JsonObjectWriter(std::ostream& out, int depth, int indent)
    : out_(out), depth_(depth), indent_(indent) {
    out_ << '{';
}

JsonObjectWriter::JsonObjectWriter(std::ostream& out, int depth, int indent, AfterMembers)
    : out_(out), depth_(depth), indent_(indent), hasMembers_(true) {}

JsonObjectWriter JsonObjectWriter::Continuing(std::ostream& out, int depth, int indent) {
    return {out, depth, indent, AfterMembers{}};
}

void JsonObjectWriter::Indent(int depth) {
    std::string spaces;
    AppendIndent(spaces, depth);
    out_ << spaces;
}

void JsonObjectWriter::AppendIndent(std::string& text, int depth) const {
    text.append(static_cast<std::size_t>(depth) * static_cast<std::size_t>(indent_), ' ');
}

void JsonObjectWriter::Key(std::string_view key) {
    std::string text(hasMembers_ ? ",\n" : "\n");
    hasMembers_ = true;
    AppendIndent(text, depth_ + 1);
    AppendKey(text, key);
    out_ << text;
}

void JsonObjectWriter::Member(std::string_view key, const Json& value) {
    Key(key);
    WriteNestedJson(out_, value, depth_ + 1, indent_);
}

JsonObjectWriter JsonObjectWriter::OpenObject(std::string_view key) {
    Key(key);
    return JsonObjectWriter(out_, depth_ + 1, indent_);
}

void JsonObjectWriter::OpenArray(std::string_view key) {
    Key(key);
    out_ << '[';
    hasElements_ = false;
}

void JsonObjectWriter::NextElement() {
    std::string text;
    AppendNextElement(text);
    out_ << text;
}

void JsonObjectWriter::AppendNextElement(std::string& text) {
    text += hasElements_ ? ",\n" : "\n";
    hasElements_ = true;
    AppendIndent(text, depth_ + 2);
}

void JsonObjectWriter::Element(const Json& value) {
    NextElement();
    WriteNestedJson(out_, value, depth_ + 2, indent_);
}

void JsonObjectWriter::ElementText(std::string_view text) {
    element_.clear();
    AppendNextElement(element_);
    element_ += text;
    out_ << element_;
}

void JsonObjectWriter::ElementObject(
    std::initializer_list<std::pair<std::string_view, std::string_view>> members) {
    // Built whole and written at once: a month's thousands of small writes cost more.
    std::string& text = element_;
    text.clear();
    AppendNextElement(text);
    text += '{';
    const char* separator = "\n";
    for (const auto& [key, value] : members) {
        text += separator;
        separator = ",\n";
        AppendIndent(text, depth_ + 3);
        AppendKey(text, key);
        text += value;
    }
    if (members.size() != 0) {
        text += '\n';
        AppendIndent(text, depth_ + 2);
    }
    text += '}';
    out_ << text;
}

JsonObjectWriter JsonObjectWriter::OpenObjectElement() {
    NextElement();
    return JsonObjectWriter(out_, depth_ + 2, indent_);
}

void JsonObjectWriter::CloseArray() {
    if (hasElements_) {
        out_ << '\n';
        Indent(depth_ + 1);
    }
    out_ << ']';
}

void JsonObjectWriter::Close() {
    if (hasMembers_) {
        out_ << '\n';
        Indent(depth_);
    }
    // A month of a year, or a data file of many, is out as soon as it is whole.
    out_ << '}' << std::flush;
}

}  // namespace vat
