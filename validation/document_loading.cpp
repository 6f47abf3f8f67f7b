#include "validation/document_loading.h"

#include "validation/libxml_errors.h"
#include "validation/schema_validation.h"

namespace vat::xml {

namespace {

// The document read, with read(parser), in the way ReadDocument promises.
template <class Read>
DocumentPtr ReadDocumentWith(const std::string& path, const std::string& failurePrefix, Read read) {
    ParserContextPtr parser(xmlNewParserCtxt());
    if (!parser) {
        throw SchemaLoadError(failurePrefix + "out of memory");
    }
    FirstErrorCollector errors;
    DocumentPtr document;
    {
        CollectUnhandledErrors collecting(errors);
        document.reset(read(parser.get()));
    }
    if (!document || xmlDocGetRootElement(document.get()) == nullptr) {
        // The first error names the fault; a file that cannot be opened only gets a warning.
        std::string reason = errors.Reason();
        if (reason.empty()) {
            reason = ReasonText(xmlCtxtGetLastError(parser.get()));
        }
        if (reason.empty()) {
            reason = "the file \"" + path + "\" holds no XML document";
        }
        throw SchemaLoadError(failurePrefix + reason);
    }
    return document;
}

}  // namespace

DocumentPtr ReadDocument(const std::string& path, const std::string& failurePrefix) {
    return ReadDocumentWith(path, failurePrefix, [&path](xmlParserCtxt* parser) {
        return xmlCtxtReadFile(parser, path.c_str(), nullptr, kReadOptions);
    });
}

DocumentPtr ReadDocument(int descriptor, const std::string& path,
                         const std::string& failurePrefix) {
    return ReadDocumentWith(path, failurePrefix, [&](xmlParserCtxt* parser) {
        return xmlCtxtReadFd(parser, descriptor, path.c_str(), nullptr, kReadOptions);
    });
}

void ThrowReturnFileLoadError(const std::string& path, const std::string& streamingReason) {
    ReadDocument(path, kReturnFileLoadFailure);
    throw SchemaLoadError(kReturnFileLoadFailure + streamingReason);
}

SchemaPtr CompileSchema(xmlDoc* schemaDocument, std::string& failureReason) {
    SchemaParserContextPtr parser(xmlSchemaNewDocParserCtxt(schemaDocument));
    if (!parser) {
        failureReason = "out of memory";
        return nullptr;
    }
    FirstErrorCollector errors;
    xmlSchemaSetParserStructuredErrors(parser.get(), FirstErrorCollector::Receive, &errors);
    SchemaPtr schema(xmlSchemaParse(parser.get()));
    if (!schema) {
        failureReason = errors.Reason().empty() ? "the schema does not compile" : errors.Reason();
    }
    return schema;
}

}  // namespace vat::xml
