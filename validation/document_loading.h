#pragma once

#include <string>

#include "validation/libxml_handles.h"

namespace vat::xml {

// Reads a file as plain XML: no validation, no DTD loading, no network. Throws SchemaLoadError
// whose text is failurePrefix followed by libxml2's reason when the file cannot be read.
DocumentPtr ReadDocument(const std::string& path, const std::string& failurePrefix);

// Drops the document's file name. libxml2 then no longer searches, for every error it reports,
// all the nodes before the failing one for XInclude boundaries (which made a file with many
// failing nodes take quadratic time); reason texts do not name the file either way.
void ForgetFileName(xmlDoc* document);

// The compiled schema, or null with failureReason set when the document is not a usable schema.
SchemaPtr CompileSchema(xmlDoc* schemaDocument, std::string& failureReason);

}  // namespace vat::xml
