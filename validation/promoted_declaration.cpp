#include "validation/promoted_declaration.h"

#include <string>
#include <vector>

#include "validation/xml_nodes.h"

namespace vat::xml {

namespace {

// Positions among siblings from the document down to the node; the copy has the same shape.
std::vector<int> PathFromDocument(const xmlNode* node) {
    std::vector<int> path;
    for (; node != nullptr && node->type != XML_DOCUMENT_NODE; node = node->parent) {
        int position = 0;
        for (const xmlNode* sibling = node->prev; sibling != nullptr; sibling = sibling->prev) {
            ++position;
        }
        path.insert(path.begin(), position);
    }
    return path;
}

xmlNode* Follow(xmlDoc* document, const std::vector<int>& path) {
    auto* node = reinterpret_cast<xmlNode*>(document);
    for (const int position : path) {
        node = node->children;
        for (int step = 0; node != nullptr && step < position; ++step) {
            node = node->next;
        }
        if (node == nullptr) {
            return nullptr;
        }
    }
    return node;
}

const xmlChar* Text(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

void RetargetReferences(xmlNode* parent, const std::string& name, const std::string& newName) {
    for (xmlNode* node = parent->children; node != nullptr; node = node->next) {
        if (IsXsd(node, "element") && LocalPart(Attribute(node, "ref")) == name) {
            xmlSetProp(node, Text("ref"), Text(newName.c_str()));
        }
        RetargetReferences(node, name, newName);
    }
}

// Moves the schema's own global of that name out of the way under a name no instance uses, and
// points its references at it, so the schema still compiles with the promoted declaration.
void RenameGlobal(xmlNode* schema, const std::string& name, const xmlNode* promoted) {
    xmlNode* global = nullptr;
    for (xmlNode* node = schema->children; node != nullptr && global == nullptr;
         node = node->next) {
        if (node != promoted && IsXsd(node, "element") && Attribute(node, "name") == name) {
            global = node;
        }
    }
    if (global == nullptr) {
        return;
    }
    const std::string hiddenName = name + ".global";
    xmlSetProp(global, Text("name"), Text(hiddenName.c_str()));
    RetargetReferences(schema, name, hiddenName);
}

}  // namespace

DocumentPtr PromoteToGlobal(const xmlDoc* schemaDocument, const xmlNode* localDeclaration) {
    DocumentPtr copy(xmlCopyDoc(const_cast<xmlDoc*>(schemaDocument), 1));
    xmlNode* schema = copy ? xmlDocGetRootElement(copy.get()) : nullptr;
    xmlNode* local = copy ? Follow(copy.get(), PathFromDocument(localDeclaration)) : nullptr;
    if (schema == nullptr || local == nullptr) {
        return nullptr;
    }
    NodePtr promoted(xmlDocCopyNode(local, copy.get(), 1));
    if (!promoted) {
        return nullptr;
    }
    for (const char* occurrenceOnly : {"minOccurs", "maxOccurs", "form"}) {
        xmlUnsetProp(promoted.get(), Text(occurrenceOnly));
    }
    const std::string name = Attribute(promoted.get(), "name");
    const xmlNode* added = xmlAddChild(schema, promoted.release());
    RenameGlobal(schema, name, added);
    return copy;
}

}  // namespace vat::xml
