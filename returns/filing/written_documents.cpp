#include "returns/filing/written_documents.h"

#include <libxml/xmlreader.h>

#include <limits>
#include <memory>

#include "disk/local_time.h"

namespace vat {

namespace {

struct ReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

std::string Text(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

}  // namespace

const std::string& WrittenDocument::FieldEndingIn(std::string_view ending) const {
    static const std::string kNone;
    for (const auto& [name, value] : fields)
        if (name.ends_with(ending)) return value;
    return kNone;
}

std::string WrittenDocument::Key() const {
    return FieldEndingIn("Tin") + '\n' + FieldEndingIn("No") + '\n' + FieldEndingIn("Date");
}

std::string WrittenDocument::Name() const {
    std::string name = FieldEndingIn("No") + " of " + PersonsForm(FieldEndingIn("Date"));
    if (const std::string& tin = FieldEndingIn("Tin"); !tin.empty()) name += ", party " + tin;
    return name;
}

std::vector<WrittenDocument> ReadWrittenDocuments(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw ReturnFileUnreadable("the return file is too large to compare");
    const std::unique_ptr<xmlTextReader, ReaderFree> reader(xmlReaderForMemory(
        text.data(), static_cast<int>(text.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE));
    if (!reader) throw ReturnFileUnreadable("cannot read the return file");
    std::vector<WrittenDocument> documents;
    WrittenDocument document;
    int status = 0;
    while ((status = xmlTextReaderRead(reader.get())) == 1) {
        const int depth = xmlTextReaderDepth(reader.get());
        const int type = xmlTextReaderNodeType(reader.get());
        if (type == XML_READER_TYPE_ELEMENT && depth == 1) {
            document = {};
            if (xmlTextReaderIsEmptyElement(reader.get()) != 0) continue;
        } else if (type == XML_READER_TYPE_ELEMENT && depth == 2) {
            std::string name = Text(xmlTextReaderConstLocalName(reader.get()));
            xmlChar* value = xmlTextReaderReadString(reader.get());
            document.fields.emplace_back(std::move(name), Text(value));
            xmlFree(value);
        } else if (type == XML_READER_TYPE_END_ELEMENT && depth == 1 && !document.fields.empty()) {
            documents.push_back(std::move(document));
            document = {};
        }
    }
    if (status != 0) throw ReturnFileUnreadable("the return file is not well-formed XML");
    return documents;
}

}  // namespace vat
