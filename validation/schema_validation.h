#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace vat {

// A schema or return file that cannot be loaded, or a schema that does not compile.
class SchemaLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Receives the Error text of one failing node.
using ValidationErrorSink = std::function<void(const std::string& message)>;

// Checks, each on its own, every element child of every element named baseNode in the return
// file against the schema, the way a DOM's validateNode does; the header and the records'
// content models are not checked. Calls addValidationError once per failing node, in document
// order, and returns true when none failed. Throws SchemaLoadError, before any call of
// addValidationError, when either file cannot be loaded or the schema does not compile. The
// return file is read in a stream: memory does not grow with its size.
bool Validate(const std::string& xmlPath, const std::string& xsdPath, const std::string& baseNode,
              const ValidationErrorSink& addValidationError);

// Loads and compiles the schema as Validate does first, and throws the SchemaLoadError Validate
// would throw for it: for finding an unusable schema before any return file is written.
void CheckSchemaLoads(const std::string& xsdPath);

}  // namespace vat
