#include "app/cli/cli_json_stream.h"

#include <string>

namespace {

using Json = nlohmann::ordered_json;

std::string Dumped(const Json& value, int indent) {
    return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

void Indent(std::ostream& out, int depth) {
    for (int level = 0; level < depth; ++level) out << "  ";
}

}  // namespace

void WriteNestedJson(std::ostream& out, const Json& value, int depth) {
    // Dumped strings hold no raw line breaks, so every break is one of the layout's.
    const std::string text = Dumped(value, 2);
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.write(text.data() + from, static_cast<std::streamsize>(at + 1 - from));
        Indent(out, depth);
        from = at + 1;
    }
    out.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
}

JsonObjectWriter::JsonObjectWriter(std::ostream& out, int depth) : out_(out), depth_(depth) {
    out_ << '{';
}

void JsonObjectWriter::Key(std::string_view key) {
    out_ << (hasMembers_ ? ",\n" : "\n");
    hasMembers_ = true;
    Indent(out_, depth_ + 1);
    out_ << Dumped(Json(std::string(key)), -1) << ": ";
}

void JsonObjectWriter::Member(std::string_view key, const Json& value) {
    Key(key);
    WriteNestedJson(out_, value, depth_ + 1);
}

JsonObjectWriter JsonObjectWriter::OpenObject(std::string_view key) {
    Key(key);
    return JsonObjectWriter(out_, depth_ + 1);
}

void JsonObjectWriter::OpenArray(std::string_view key) {
    Key(key);
    out_ << '[';
    hasElements_ = false;
}

void JsonObjectWriter::NextElement() {
    out_ << (hasElements_ ? ",\n" : "\n");
    hasElements_ = true;
    Indent(out_, depth_ + 2);
}

void JsonObjectWriter::Element(const Json& value) {
    NextElement();
    WriteNestedJson(out_, value, depth_ + 2);
    out_.flush();
}

JsonObjectWriter JsonObjectWriter::OpenObjectElement() {
    NextElement();
    return JsonObjectWriter(out_, depth_ + 2);
}

void JsonObjectWriter::CloseArray() {
    if (hasElements_) {
        out_ << '\n';
        Indent(out_, depth_ + 1);
    }
    out_ << ']';
}

void JsonObjectWriter::Close() {
    if (hasMembers_) {
        out_ << '\n';
        Indent(out_, depth_);
    }
    out_ << '}';
}
