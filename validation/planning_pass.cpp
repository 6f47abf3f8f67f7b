#include "validation/planning_pass.h"

#include <libxml/parserInternals.h>

#include "validation/document_loading.h"
#include "validation/failure_locator.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"

namespace vat::xml {

namespace {

constexpr const char* kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
// Each attribute of a start tag comes as local name, prefix, namespace, value and value end.
constexpr int kAttributeFields = 5;
constexpr int kAttributeNamespace = 2;

// What the parser's callbacks reach through its _private: the locator, and the validator's own
// callbacks, each called once the locator has followed the event. The parser's user data stays
// the parser itself, as the tree builder's callbacks for the prolog and the document type need.
struct Listeners {
    FailureLocator locator;
    xmlSAXHandler* validator = nullptr;
    void* validatorData = nullptr;
};

Listeners& ListenersOf(void* parser) {
    return *static_cast<Listeners*>(static_cast<xmlParserCtxt*>(parser)->_private);
}

bool HasSchemaInstanceAttribute(int attributeCount, const xmlChar** attributes) {
    for (int index = 0; index < attributeCount; ++index) {
        if (xmlStrEqual(attributes[index * kAttributeFields + kAttributeNamespace],
                        reinterpret_cast<const xmlChar*>(kSchemaInstanceNamespace))) {
            return true;
        }
    }
    return false;
}

void OnStartElement(void* parser, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* namespaceUri, int namespaceCount, const xmlChar** namespaces,
                    int attributeCount, int defaultedCount, const xmlChar** attributes) {
    Listeners& listeners = ListenersOf(parser);
    listeners.locator.StartElement(reinterpret_cast<const char*>(localName),
                                   prefix != nullptr || namespaceUri != nullptr,
                                   HasSchemaInstanceAttribute(attributeCount, attributes));
    if (listeners.validator != nullptr) {
        listeners.validator->startElementNs(listeners.validatorData, localName, prefix,
                                            namespaceUri, namespaceCount, namespaces,
                                            attributeCount, defaultedCount, attributes);
    }
}

void OnEndElement(void* parser, const xmlChar* localName, const xmlChar* prefix,
                  const xmlChar* namespaceUri) {
    Listeners& listeners = ListenersOf(parser);
    listeners.locator.EndElement();
    if (listeners.validator != nullptr) {
        listeners.validator->endElementNs(listeners.validatorData, localName, prefix, namespaceUri);
    }
}

void OnText(void* parser, const xmlChar* text, int length) {
    Listeners& listeners = ListenersOf(parser);
    listeners.locator.Content();
    if (listeners.validator != nullptr) {
        listeners.validator->characters(listeners.validatorData, text, length);
    }
}

void OnCData(void* parser, const xmlChar* text, int length) {
    Listeners& listeners = ListenersOf(parser);
    listeners.locator.Content();
    if (listeners.validator != nullptr) {
        listeners.validator->cdataBlock(listeners.validatorData, text, length);
    }
}

void OnReference(void* parser, const xmlChar* name) {
    Listeners& listeners = ListenersOf(parser);
    listeners.locator.Content();
    if (listeners.validator != nullptr) {
        listeners.validator->reference(listeners.validatorData, name);
    }
}

void OnValidityError(void* locator, xmlErrorPtr) { static_cast<FailureLocator*>(locator)->Error(); }

// Elements and their content are followed, not built; comments and processing instructions
// are dropped, or the tree builder would hang those inside elements on the document.
void FollowInsteadOfBuilding(xmlSAXHandler& handlers) {
    handlers.startElementNs = OnStartElement;
    handlers.endElementNs = OnEndElement;
    handlers.characters = OnText;
    handlers.ignorableWhitespace = OnText;
    handlers.cdataBlock = OnCData;
    handlers.reference = OnReference;
    handlers.comment = nullptr;
    handlers.processingInstruction = nullptr;
}

}  // namespace

CheckPlan PlanElementChecks(const std::string& xmlPath, xmlSchema* wholeFileSchema,
                            const std::string& recordName) {
    Listeners listeners{FailureLocator(recordName)};
    const ParserContextPtr parser(xmlCreateURLParserCtxt(xmlPath.c_str(), kReadOptions));
    if (!parser) {
        ThrowReturnFileLoadError(xmlPath, "the file cannot be read");
    }
    FollowInsteadOfBuilding(*parser->sax);
    parser->_private = &listeners;

    // Plugged into handlers of its own, the validator is called by ours directly, without
    // libxml2's slower layer that splits every event between two handlers.
    const SchemaValidContextPtr validation(
        wholeFileSchema != nullptr ? xmlSchemaNewValidCtxt(wholeFileSchema) : nullptr);
    SchemaSaxPlugPtr plug;
    if (validation) {
        xmlSchemaSetValidStructuredErrors(validation.get(), OnValidityError, &listeners.locator);
        plug.reset(
            xmlSchemaSAXPlug(validation.get(), &listeners.validator, &listeners.validatorData));
    }
    if (!plug) {
        listeners.locator.PlanEverything();
    }

    xmlParseDocument(parser.get());
    plug.reset();
    const DocumentPtr prolog(parser->myDoc);
    parser->myDoc = nullptr;
    if (!parser->wellFormed) {
        ThrowReturnFileLoadError(xmlPath, ReasonText(xmlCtxtGetLastError(parser.get())));
    }
    if (prolog && prolog->intSubset != nullptr) {
        listeners.locator.PlanEverything();
    }
    return listeners.locator.Finish();
}

}  // namespace vat::xml
