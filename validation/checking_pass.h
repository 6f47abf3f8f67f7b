#pragma once

#include <string>
#include <vector>

#include "validation/check_plan.h"
#include "validation/record_child_checker.h"
#include "validation/schema_validation.h"

namespace vat::xml {

// Reads the return file again with a reader that keeps only the open elements and the one being
// checked, and checks on its own each element the plan names, in document order, calling
// addValidationError for each one that fails, once its record has ended. Stops after the last
// one named has been passed on. Returns whether none failed.
bool CheckPlannedElements(const std::string& xmlPath, const std::string& recordName,
                          const std::vector<std::string>& identifyingChildren,
                          const CheckPlan& plan, RecordChildChecker& checker,
                          const ValidationErrorSink& addValidationError);

}  // namespace vat::xml
