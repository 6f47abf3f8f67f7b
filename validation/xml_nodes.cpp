#include "validation/xml_nodes.h"

#include <cstring>

namespace vat::xml {

namespace {

constexpr const char* kXsdNamespace = "http://www.w3.org/2001/XMLSchema";

}  // namespace

bool IsXsd(const xmlNode* node, const char* localName) {
    return node->type == XML_ELEMENT_NODE && node->ns != nullptr && node->ns->href != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), kXsdNamespace) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->name), localName) == 0;
}

std::string Attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr) {
        return {};
    }
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

std::string QualifiedName(const xmlNode* element) {
    std::string name = reinterpret_cast<const char*>(element->name);
    if (element->ns != nullptr && element->ns->prefix != nullptr) {
        name.insert(0, reinterpret_cast<const char*>(element->ns->prefix) + std::string(":"));
    }
    return name;
}

bool HasQualifiedName(const xmlNode* element, std::string_view qualifiedName) {
    if (element->ns != nullptr && element->ns->prefix != nullptr) {
        const std::string_view prefix = reinterpret_cast<const char*>(element->ns->prefix);
        if (qualifiedName.size() <= prefix.size() ||
            qualifiedName.substr(0, prefix.size()) != prefix ||
            qualifiedName[prefix.size()] != ':') {
            return false;
        }
        qualifiedName.remove_prefix(prefix.size() + 1);
    }
    return qualifiedName == reinterpret_cast<const char*>(element->name);
}

std::string LocalPart(const std::string& qualifiedName) {
    const auto colon = qualifiedName.find(':');
    return colon == std::string::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

}  // namespace vat::xml
