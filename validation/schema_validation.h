#pragma once

#include <functional>
#include <memory>
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

// A schema read and compiled once, to check any number of return files against.
class CompiledSchema {
public:
    // Reads the schema from a file open for reading, from its start to its end, and compiles it;
    // xsdPath names it in messages and is where the schemas it includes are looked for. The
    // descriptor stays the caller's. Throws SchemaLoadError when it is not a regular file (a FIFO
    // or a device is never waited on), holds no schema or does not compile.
    CompiledSchema(int descriptor, const std::string& xsdPath);
    // Opens the file itself, as above.
    explicit CompiledSchema(const std::string& xsdPath);
    CompiledSchema(CompiledSchema&&) noexcept;
    CompiledSchema& operator=(CompiledSchema&&) noexcept;
    ~CompiledSchema();

private:
    friend bool Validate(const std::string&, const CompiledSchema&, const std::string&,
                         const std::vector<std::string>&, const ValidationErrorSink&);
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The error of a schema that cannot be opened, for the reason given ("it is a symbolic link").
SchemaLoadError UnreadableSchema(const std::string& xsdPath, const std::string& reason);

// Checks, each on its own, every element child of every element named baseNode in the return
// file, and each header element (the root's element children that are not baseNode), against
// the schema, the way a DOM's validateNode does; the records' and the root's content models are
// not checked. Record children are numbered across the file, header elements apart from them.
// identifyingChildren name the record children (no prefix, no namespace) whose texts tell which
// document a record is; a failing record child carries its record's texts of them.
// Calls addValidationError once per failing element, in document order, and returns true when
// none failed. Throws SchemaLoadError, before any call of addValidationError, when the return
// file cannot be loaded. The return file is read in a stream: memory does not grow with its
// size.
bool Validate(const std::string& xmlPath, const CompiledSchema& schema, const std::string& baseNode,
              const std::vector<std::string>& identifyingChildren,
              const ValidationErrorSink& addValidationError);

// The same with the schema compiled for this check alone; SchemaLoadError also when it cannot
// be compiled.
bool Validate(const std::string& xmlPath, const std::string& xsdPath, const std::string& baseNode,
              const std::vector<std::string>& identifyingChildren,
              const ValidationErrorSink& addValidationError);

}  // namespace vat
