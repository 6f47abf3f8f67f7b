#pragma once

#include <libxml/xmlschemas.h>

#include <string>

#include "validation/check_plan.h"

namespace vat::xml {

// Reads the return file once, streaming and keeping no tree, and plans which of the elements
// CheckedElements names are to be checked on their own. With wholeFileSchema, the file is
// validated as a whole against it and the plan names the elements its errors may concern;
// without one (a schema under which whole validity says nothing of the elements), or when the
// file has a document type declaration (a stream validates entities unlike a tree), the plan
// names every one. Throws SchemaLoadError, as ReadDocument does, when the file is not
// well-formed, so that no element is checked in a file that does not load.
CheckPlan PlanElementChecks(const std::string& xmlPath, xmlSchema* wholeFileSchema,
                            const std::string& recordName);

}  // namespace vat::xml
