#include "validation/schema_validation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "validation/checking_pass.h"
#include "validation/document_loading.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"
#include "validation/planning_pass.h"
#include "validation/record_child_checker.h"
#include "validation/whole_validity.h"

namespace vat {

namespace {

// A schema file open for reading until the end of the expression that opened it.
struct OpenedSchema {
    explicit OpenedSchema(const std::string& xsdPath)
        // Not blocking: opening a FIFO for reading would wait for a writer.
        : descriptor(::open(xsdPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        if (descriptor < 0) throw UnreadableSchema(xsdPath, std::strerror(errno));
    }
    OpenedSchema(const OpenedSchema&) = delete;
    OpenedSchema& operator=(const OpenedSchema&) = delete;
    ~OpenedSchema() { ::close(descriptor); }

    int descriptor;
};

}  // namespace

struct CompiledSchema::Parts {
    xml::DocumentPtr document;
    xml::SchemaPtr schema;
    // Whether validating a file whole finds every element that fails on its own.
    bool wholeValidityTells = false;
};

CompiledSchema::CompiledSchema(int descriptor, const std::string& xsdPath)
    : parts_(std::make_unique<Parts>()) {
    // Read only when regular: a FIFO or a device would keep the parser waiting, or reading for
    // ever.
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) throw UnreadableSchema(xsdPath, std::strerror(errno));
    if (!S_ISREG(status.st_mode)) throw UnreadableSchema(xsdPath, "it is not a regular file");
    xml::QuietLibxmlScope quiet;
    parts_->document = xml::ReadDocument(descriptor, xsdPath, xml::kSchemaLoadFailure);
    std::string compileFailure;
    parts_->schema = xml::CompileSchema(parts_->document.get(), compileFailure);
    if (!parts_->schema) throw SchemaLoadError(xml::kSchemaLoadFailure + compileFailure);
    parts_->wholeValidityTells = xml::WholeValidityCoversEachElement(parts_->document.get());
}

CompiledSchema::CompiledSchema(const std::string& xsdPath)
    : CompiledSchema(OpenedSchema(xsdPath).descriptor, xsdPath) {}

CompiledSchema::CompiledSchema(CompiledSchema&&) noexcept = default;
CompiledSchema& CompiledSchema::operator=(CompiledSchema&&) noexcept = default;
CompiledSchema::~CompiledSchema() = default;

SchemaLoadError UnreadableSchema(const std::string& xsdPath, const std::string& reason) {
    return SchemaLoadError(std::string(xml::kSchemaLoadFailure) + "the file \"" + xsdPath +
                           "\" cannot be read: " + reason);
}

// Two streaming passes over the return file, neither keeping more than the open elements and
// one element being checked. The first validates the file whole; a valid file needs nothing
// more, and in an invalid one it tells which elements to check on their own, which the second
// pass does.
bool Validate(const std::string& xmlPath, const CompiledSchema& schema, const std::string& baseNode,
              const std::vector<std::string>& identifyingChildren,
              const ValidationErrorSink& addValidationError) {
    xml::QuietLibxmlScope quiet;
    const CompiledSchema::Parts& parts = *schema.parts_;
    const xml::CheckPlan plan = xml::PlanElementChecks(
        xmlPath, parts.wholeValidityTells ? parts.schema.get() : nullptr, baseNode);
    if (plan.IsEmpty()) {
        return true;
    }
    xml::RecordChildChecker checker(parts.document.get(), parts.schema.get());
    return xml::CheckPlannedElements(xmlPath, baseNode, identifyingChildren, plan, checker,
                                     addValidationError);
}

bool Validate(const std::string& xmlPath, const std::string& xsdPath, const std::string& baseNode,
              const std::vector<std::string>& identifyingChildren,
              const ValidationErrorSink& addValidationError) {
    return Validate(xmlPath, CompiledSchema(xsdPath), baseNode, identifyingChildren,
                    addValidationError);
}

}  // namespace vat
