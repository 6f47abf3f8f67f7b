#include "validation/whole_validity.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "validation/schema_declarations.h"
#include "validation/xml_nodes.h"

namespace vat::xml {

namespace {

// Whether the attribute, a list of type names, names a type of that local name.
bool NamesType(const xmlNode* node, const char* attribute, std::string_view localName) {
    const std::string names = Attribute(node, attribute);
    for (std::size_t start = 0; start < names.size();) {
        const std::size_t end = std::min(names.find_first_of(" \t\r\n", start), names.size());
        if (LocalPart(names.substr(start, end - start)) == localName) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool HasChild(const xmlNode* node, const char* localName) {
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (IsXsd(child, localName)) {
            return true;
        }
    }
    return false;
}

bool IsUntypedElement(const xmlNode* node) {
    return Attribute(node, "type").empty() && Attribute(node, "ref").empty() &&
           !HasChild(node, "simpleType") && !HasChild(node, "complexType");
}

bool Undermines(const xmlNode* node, const SchemaDeclarations& declarations) {
    if (node->type != XML_ELEMENT_NODE) {
        return false;
    }
    for (const char* construct :
         {"any", "anyAttribute", "include", "import", "redefine", "key", "unique", "keyref"}) {
        if (IsXsd(node, construct)) {
            return true;
        }
    }
    if (IsXsd(node, "element") && (!Attribute(node, "substitutionGroup").empty() ||
                                   IsUntypedElement(node) || NamesType(node, "type", "anyType"))) {
        return true;
    }
    // A restriction of anyType replaces its content; an extension keeps its wildcard.
    if (IsXsd(node, "extension") && NamesType(node, "base", "anyType")) {
        return true;
    }
    for (const char* typeAttribute : {"type", "base", "itemType", "memberTypes"}) {
        if (NamesType(node, typeAttribute, "ID")) {
            return true;
        }
    }
    return IsXsd(node, "complexType") && declarations.HasConflictingDeclarations(node);
}

bool AnyUndermines(const xmlNode* parent, const SchemaDeclarations& declarations) {
    for (const xmlNode* node = parent->children; node != nullptr; node = node->next) {
        if (Undermines(node, declarations) || AnyUndermines(node, declarations)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool WholeValidityCoversEachElement(const xmlDoc* schemaDocument) {
    const xmlNode* schema = xmlDocGetRootElement(schemaDocument);
    if (schema == nullptr ||
        xmlHasProp(schema, reinterpret_cast<const xmlChar*>("targetNamespace")) != nullptr) {
        return false;
    }
    const SchemaDeclarations declarations(schemaDocument);
    return !AnyUndermines(schema, declarations);
}

}  // namespace vat::xml
