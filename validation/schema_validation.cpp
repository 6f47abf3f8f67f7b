#include "validation/schema_validation.h"

#include <cstdint>

#include "validation/document_loading.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"
#include "validation/record_child_checker.h"
#include "validation/xml_nodes.h"

namespace vat {

namespace {

// Every element child of every element named baseNode, in document order. A name that is not
// an XML name selects nothing, as a name that occurs nowhere does.
xml::XPathObjectPtr SelectRecordChildren(xmlDoc* document, const std::string& baseNode) {
    const auto* name = reinterpret_cast<const xmlChar*>(baseNode.c_str());
    if (xmlValidateNCName(name, 0) != 0) {
        return nullptr;
    }
    xml::XPathContextPtr context(xmlXPathNewContext(document));
    if (!context) {
        return nullptr;
    }
    const std::string expression = "//" + baseNode + "/*";
    return xml::XPathObjectPtr(xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar*>(expression.c_str()), context.get()));
}

}  // namespace

bool Validate(const std::string& xmlPath, const std::string& xsdPath, const std::string& baseNode,
              const ValidationErrorSink& addValidationError) {
    xml::QuietLibxmlScope quiet;

    const xml::DocumentPtr schemaDocument = xml::ReadDocument(xsdPath, "Load XSD failed: ");
    std::string compileFailure;
    const xml::SchemaPtr schema = xml::CompileSchema(schemaDocument.get(), compileFailure);
    if (!schema) {
        throw SchemaLoadError("Load XSD failed: " + compileFailure);
    }
    const xml::DocumentPtr returnDocument = xml::ReadDocument(xmlPath, "Load XML failed: ");
    xml::ForgetFileName(returnDocument.get());

    const xml::XPathObjectPtr selection = SelectRecordChildren(returnDocument.get(), baseNode);
    const xmlNodeSet* nodes = selection ? selection->nodesetval : nullptr;
    if (nodes == nullptr) {
        return true;
    }

    xml::RecordChildChecker checker(schemaDocument.get(), schema.get());
    bool allValid = true;
    std::uint64_t number = 0;
    for (int index = 0; index < nodes->nodeNr; ++index) {
        xmlNode* node = nodes->nodeTab[index];
        ++number;
        if (const auto reason = checker.Check(node)) {
            std::string message = "<";
            message += xml::QualifiedName(node);
            message += "> (";
            message += std::to_string(number);
            message += ") is not valid : \r\nReason :";
            addValidationError(message += *reason);
            allValid = false;
        }
    }
    return allValid;
}

}  // namespace vat
