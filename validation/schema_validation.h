#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vat {

// A schema or return file that cannot be loaded, or a schema that does not compile.
class SchemaLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One element that failed its check.
struct ValidationFailure {
    // One line: "<SelTin> (checked element 305) is not valid. Reason: " and the reason, the
    // element numbered as the check counts it (below).
    std::string message;
    // The line of its start tag in the return file; none when libxml2 cannot tell it.
    std::optional<long long> line;
    // For a record child, the text of the record's first child of each identifying name, in the
    // order the names were given ("" where the record has none); empty for a header element.
    std::vector<std::string> recordTexts;
    friend bool operator==(const ValidationFailure&, const ValidationFailure&) = default;
};

// Receives each failing element.
using ValidationErrorSink = std::function<void(const ValidationFailure& failure)>;

// Checks, each on its own, every element child of every element named baseNode in the return
// file, and each header element (the root's element children that are not baseNode), against
// the schema, the way a DOM's validateNode does; the records' and the root's content models are
// not checked. Record children are numbered across the file, header elements apart from them.
// identifyingChildren name the record children (no prefix, no namespace) whose texts tell which
// document a record is; a failing record child carries its record's texts of them.
// Calls addValidationError once per failing element, in document order, and returns true when
// none failed. Throws SchemaLoadError, before any call of addValidationError, when either file
// cannot be loaded or the schema does not compile. The return file is read in a stream: memory
// does not grow with its size.
bool Validate(const std::string& xmlPath, const std::string& xsdPath, const std::string& baseNode,
              const std::vector<std::string>& identifyingChildren,
              const ValidationErrorSink& addValidationError);

// Loads and compiles the schema as Validate does first, and throws the SchemaLoadError Validate
// would throw for it: for finding an unusable schema before any return file is written.
void CheckSchemaLoads(const std::string& xsdPath);

}  // namespace vat
