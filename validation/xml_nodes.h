#pragma once

#include <libxml/tree.h>

#include <string>

namespace vat::xml {

// Whether node is the XML Schema element xs:<localName>.
bool IsXsd(const xmlNode* node, const char* localName);

// The attribute's value, empty when absent.
std::string Attribute(const xmlNode* node, const char* name);

// The element's name as written, prefix included.
std::string QualifiedName(const xmlNode* element);

// A QName's local part: the schemas have no target namespace, so a prefix says nothing.
std::string LocalPart(const std::string& qualifiedName);

}  // namespace vat::xml
