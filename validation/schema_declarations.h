#pragma once

#include <libxml/tree.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace vat::xml {

// Finds element declarations in a schema document (no target namespace) the way an instance
// reaches them: a root element by its global declaration, any other element through the type
// of its parent's declaration. Declarations are the schema document's own xs:element nodes;
// a ref= is followed to the global it names.
class SchemaDeclarations {
public:
    explicit SchemaDeclarations(const xmlDoc* schemaDocument);

    // The global declaration of that name, or null.
    const xmlNode* Global(std::string_view name) const;

    // The declaration of an element child named childName in the content of parentDeclaration's
    // type, or null when that type declares no such child. Resolved once per pair.
    const xmlNode* Child(const xmlNode* parentDeclaration, const std::string& childName);

    static bool IsGlobal(const xmlNode* declaration);

private:
    using NamedNodes = std::map<std::string, const xmlNode*, std::less<>>;

    const xmlNode* ComplexTypeOf(const xmlNode* declaration) const;
    const xmlNode* FindInComplexType(const xmlNode* complexType, std::string_view name,
                                     int depth) const;
    const xmlNode* FindInParticles(const xmlNode* container, std::string_view name,
                                   int depth) const;
    const xmlNode* FindInElement(const xmlNode* element, std::string_view name) const;
    const xmlNode* FindInGroupRef(const xmlNode* groupRef, std::string_view name, int depth) const;

    static const xmlNode* Lookup(const NamedNodes& nodes, std::string_view name);

    NamedNodes elements_;
    NamedNodes complexTypes_;
    NamedNodes groups_;
    std::map<std::pair<const xmlNode*, std::string>, const xmlNode*> children_;
};

}  // namespace vat::xml
