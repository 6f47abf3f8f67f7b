#pragma once

#include <string>

#include "validation/check_plan.h"
#include "validation/record_child_checker.h"
#include "validation/schema_validation.h"

namespace vat::xml {

// Reads the return file again with a reader that keeps only the open elements and the one being
// checked, and checks on its own each element the plan names, in document order, calling
// addValidationError for each one that fails. Stops after the last one named. Returns whether
// none failed.
bool CheckPlannedElements(const std::string& xmlPath, const std::string& recordName,
                          const CheckPlan& plan, RecordChildChecker& checker,
                          const ValidationErrorSink& addValidationError);

}  // namespace vat::xml
