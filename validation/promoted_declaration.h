#pragma once

#include "validation/libxml_handles.h"

namespace vat::xml {

// A copy of the schema document in which the local element declaration is also declared at the
// top level, so that an element validated on its own finds it: without minOccurs, maxOccurs and
// form, and with a global of the same name renamed, its references following it. Null when out
// of memory.
DocumentPtr PromoteToGlobal(const xmlDoc* schemaDocument, const xmlNode* localDeclaration);

}  // namespace vat::xml
