#pragma once

#include <string>

#include "validation/libxml_handles.h"

namespace vat::xml {

// How every pass reads a file: plain XML, no validation, no DTD loading, no network.
inline constexpr int kReadOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;

// The starts of the messages for a schema and for a return file that cannot be loaded.
inline constexpr const char* kSchemaLoadFailure = "Load XSD failed: ";
inline constexpr const char* kReturnFileLoadFailure = "Load XML failed: ";

// Reads a file as XML with kReadOptions. Throws SchemaLoadError whose text is failurePrefix
// followed by libxml2's reason when the file cannot be read.
DocumentPtr ReadDocument(const std::string& path, const std::string& failurePrefix);
// The same from a file open for reading, from its offset to its end; path names it, and is the
// base of the names it refers to. The descriptor stays the caller's.
DocumentPtr ReadDocument(int descriptor, const std::string& path, const std::string& failurePrefix);

// For a return file that a streaming pass could not read: throws what ReadDocument throws for
// it, so the message is the same whichever way the file was read; streamingReason serves only
// should the file read after all.
[[noreturn]] void ThrowReturnFileLoadError(const std::string& path,
                                           const std::string& streamingReason);

// The compiled schema, or null with failureReason set when the document is not a usable schema.
SchemaPtr CompileSchema(xmlDoc* schemaDocument, std::string& failureReason);

}  // namespace vat::xml
