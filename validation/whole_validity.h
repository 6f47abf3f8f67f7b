#pragma once

#include <libxml/tree.h>

namespace vat::xml {

// Whether, under this schema, a return file that is valid as a whole has every element valid on
// its own as RecordChildChecker checks it, so that a streaming validation of the whole file can
// tell which elements need that check. It has not when the schema lets the whole accept content
// that the lone check judges by another declaration or not at all: wildcards, elements of no
// type (their content is a wildcard), substitution groups, conflicting declarations of one name
// in one content model, schema documents of its own beyond this one, a target namespace; nor
// when the lone check sees more than the whole: identity constraints (a local declaration
// carrying one cannot be promoted, its name would be declared twice) and IDs (checked for
// uniqueness across the file in a tree, not in a stream).
bool WholeValidityCoversEachElement(const xmlDoc* schemaDocument);

}  // namespace vat::xml
