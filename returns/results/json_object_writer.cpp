#include "returns/results/json_object_writer.h"

#include <algorithm>
#include <string>

namespace vat {

namespace {

using Json = nlohmann::ordered_json;

std::string Dumped(const Json& value, int indent) {
    return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// A member's key in quotes: as it stands when it needs no escape, as every key here does.
void WriteKey(std::ostream& out, std::string_view key) {
    const bool plain = std::all_of(key.begin(), key.end(), [](char c) {
        return c >= ' ' && c <= '~' && c != '"' && c != '\\';
    });
    if (plain)
        out << '"' << key << "\": ";
    else
        out << Dumped(Json(std::string(key)), -1) << ": ";
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

void JsonObjectWriter::Indent(int depth) {
    static constexpr std::string_view kSpaces = "                ";
    for (std::streamsize left = std::streamsize{depth} * indent_; left > 0;) {
        const std::streamsize piece = std::min(left, static_cast<std::streamsize>(kSpaces.size()));
        out_.write(kSpaces.data(), piece);
        left -= piece;
    }
}

void JsonObjectWriter::Key(std::string_view key) {
    out_ << (hasMembers_ ? ",\n" : "\n");
    hasMembers_ = true;
    Indent(depth_ + 1);
    WriteKey(out_, key);
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
    out_ << (hasElements_ ? ",\n" : "\n");
    hasElements_ = true;
    Indent(depth_ + 2);
}

void JsonObjectWriter::Element(const Json& value) {
    NextElement();
    WriteNestedJson(out_, value, depth_ + 2, indent_);
}

void JsonObjectWriter::ElementText(std::string_view text) {
    NextElement();
    out_ << text;
}

void JsonObjectWriter::ElementObject(
    std::initializer_list<std::pair<std::string_view, std::string_view>> members) {
    NextElement();
    out_ << '{';
    const char* separator = "\n";
    for (const auto& [key, text] : members) {
        out_ << separator;
        separator = ",\n";
        Indent(depth_ + 3);
        WriteKey(out_, key);
        out_ << text;
    }
    if (members.size() != 0) {
        out_ << '\n';
        Indent(depth_ + 2);
    }
    out_ << '}';
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
