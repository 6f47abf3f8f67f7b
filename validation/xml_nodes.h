#pragma once

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace vat::xml {

// Whether node is the XML Schema element xs:<localName>.
bool IsXsd(const xmlNode* node, const char* localName);

// The attribute's value, empty when absent.
std::string Attribute(const xmlNode* node, const char* name);

// The element's name as written, prefix included.
std::string QualifiedName(const xmlNode* element);

// Whether the element's name as written is qualifiedName.
bool HasQualifiedName(const xmlNode* element, std::string_view qualifiedName);

// A QName's local part: the schemas have no target namespace, so a prefix says nothing.
std::string LocalPart(const std::string& qualifiedName);

}  // namespace vat::xml
