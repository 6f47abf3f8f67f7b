#pragma once

#include <libxml/tree.h>

#include <functional>
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

    // Whether the content of complexType reaches two different declarations of one name. The
    // schema language forbids that unless they have one type, but libxml2 does not check it,
    // and Child gives the first of them only.
    bool HasConflictingDeclarations(const xmlNode* complexType) const;

private:
    using NamedNodes = std::map<std::string, const xmlNode*, std::less<>>;
    // Called with each element particle's name and declaration; returning true stops the walk.
    using ParticleVisitor =
        std::function<bool(const std::string& name, const xmlNode* declaration)>;

    const xmlNode* ComplexTypeOf(const xmlNode* declaration) const;
    // Walks the element particles of the content of complexType in document order, an
    // extension's base first; returns whether the visitor stopped the walk.
    bool VisitComplexType(const xmlNode* complexType, const ParticleVisitor& visit,
                          int depth) const;
    bool VisitParticles(const xmlNode* container, const ParticleVisitor& visit, int depth) const;
    bool VisitElement(const xmlNode* element, const ParticleVisitor& visit) const;
    bool VisitGroupRef(const xmlNode* groupRef, const ParticleVisitor& visit, int depth) const;

    static const xmlNode* Lookup(const NamedNodes& nodes, std::string_view name);

    NamedNodes elements_;
    NamedNodes complexTypes_;
    NamedNodes groups_;
    std::map<std::pair<const xmlNode*, std::string>, const xmlNode*> children_;
};

}  // namespace vat::xml
