#include "validation/schema_validation.h"

#include "validation/checking_pass.h"
#include "validation/document_loading.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"
#include "validation/planning_pass.h"
#include "validation/record_child_checker.h"
#include "validation/whole_validity.h"

namespace vat {

// Two streaming passes over the return file, neither keeping more than the open elements and
// one element being checked. The first validates the file whole; a valid file needs nothing
// more, and in an invalid one it tells which elements to check on their own, which the second
// pass does.
bool Validate(const std::string& xmlPath, const std::string& xsdPath, const std::string& baseNode,
              const std::vector<std::string>& identifyingChildren,
              const ValidationErrorSink& addValidationError) {
    xml::QuietLibxmlScope quiet;

    const xml::DocumentPtr schemaDocument = xml::ReadDocument(xsdPath, xml::kSchemaLoadFailure);
    std::string compileFailure;
    const xml::SchemaPtr schema = xml::CompileSchema(schemaDocument.get(), compileFailure);
    if (!schema) {
        throw SchemaLoadError(xml::kSchemaLoadFailure + compileFailure);
    }

    const bool wholeValidityTells = xml::WholeValidityCoversEachElement(schemaDocument.get());
    const xml::CheckPlan plan =
        xml::PlanElementChecks(xmlPath, wholeValidityTells ? schema.get() : nullptr, baseNode);
    if (plan.IsEmpty()) {
        return true;
    }
    xml::RecordChildChecker checker(schemaDocument.get(), schema.get());
    return xml::CheckPlannedElements(xmlPath, baseNode, identifyingChildren, plan, checker,
                                     addValidationError);
}

void CheckSchemaLoads(const std::string& xsdPath) {
    xml::QuietLibxmlScope quiet;
    const xml::DocumentPtr schemaDocument = xml::ReadDocument(xsdPath, xml::kSchemaLoadFailure);
    std::string compileFailure;
    if (!xml::CompileSchema(schemaDocument.get(), compileFailure)) {
        throw SchemaLoadError(xml::kSchemaLoadFailure + compileFailure);
    }
}

}  // namespace vat
