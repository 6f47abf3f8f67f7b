#include "validation/planning_pass.h"

#include <libxml/parserInternals.h>

#include "validation/document_loading.h"
#include "validation/failure_locator.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"

namespace vat::xml {

namespace {

constexpr const char* SchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
// Each attribute of a start tag comes as local name, prefix, namespace, value and value end.
constexpr int AttributeFields = 5;
constexpr int AttributeNamespace = 2;

// The parser's user data stays the parser itself, as the tree builder's handlers for the
// prolog and the document type need; the locator hangs on it.
FailureLocator& LocatorOf(void* parser) {
    return *static_cast<FailureLocator*>(static_cast<xmlParserCtxt*>(parser)->_private);
}

void OnStartElement(void* parser, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* namespaceUri, int, const xmlChar**, int attributeCount, int,
                    const xmlChar** attributes) {
    bool schemaInstanceAttributes = false;
    for (int index = 0; index < attributeCount && !schemaInstanceAttributes; ++index) {
        const xmlChar* attributeNamespace =
            attributes[index * AttributeFields + AttributeNamespace];
        schemaInstanceAttributes =
            xmlStrEqual(attributeNamespace,
                        reinterpret_cast<const xmlChar*>(SchemaInstanceNamespace)) != 0;
    }
    LocatorOf(parser).StartElement(reinterpret_cast<const char*>(localName),
                                   prefix != nullptr || namespaceUri != nullptr,
                                   schemaInstanceAttributes);
}

void OnEndElement(void* parser, const xmlChar*, const xmlChar*, const xmlChar*) {
    LocatorOf(parser).EndElement();
}

void OnText(void* parser, const xmlChar*, int) { LocatorOf(parser).Content(); }

void OnReference(void* parser, const xmlChar*) { LocatorOf(parser).Content(); }

void OnValidityError(void* locator, xmlErrorPtr) { static_cast<FailureLocator*>(locator)->Error(); }

// Elements and their content are followed, not built; comments and processing instructions
// are dropped, or the tree builder would hang those inside elements on the document.
void FollowInsteadOfBuilding(xmlSAXHandler& handlers) {
    handlers.startElementNs = OnStartElement;
    handlers.endElementNs = OnEndElement;
    handlers.characters = OnText;
    handlers.ignorableWhitespace = OnText;
    handlers.cdataBlock = OnText;
    handlers.reference = OnReference;
    handlers.comment = nullptr;
    handlers.processingInstruction = nullptr;
}

}  // namespace

CheckPlan PlanElementChecks(const std::string& xmlPath, xmlSchema* wholeFileSchema,
                            const std::string& recordName) {
    FailureLocator locator(recordName);
    const ParserContextPtr parser(xmlCreateURLParserCtxt(xmlPath.c_str(), ReadOptions));
    if (!parser) {
        ThrowReturnFileLoadError(xmlPath, "the file cannot be read");
    }
    FollowInsteadOfBuilding(*parser->sax);
    parser->_private = &locator;

    const SchemaValidContextPtr validation(
        wholeFileSchema != nullptr ? xmlSchemaNewValidCtxt(wholeFileSchema) : nullptr);
    SchemaSaxPlugPtr plug;
    if (validation) {
        xmlSchemaSetValidStructuredErrors(validation.get(), OnValidityError, &locator);
        plug.reset(xmlSchemaSAXPlug(validation.get(), &parser->sax, &parser->userData));
    }
    if (!plug) {
        locator.PlanEverything();
    }

    xmlParseDocument(parser.get());
    plug.reset();
    const DocumentPtr prolog(parser->myDoc);
    parser->myDoc = nullptr;
    if (!parser->wellFormed) {
        ThrowReturnFileLoadError(xmlPath, ReasonText(xmlCtxtGetLastError(parser.get())));
    }
    if (prolog && prolog->intSubset != nullptr) {
        locator.PlanEverything();
    }
    return locator.Finish();
}

}  // namespace vat::xml
