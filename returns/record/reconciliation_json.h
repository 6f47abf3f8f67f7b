#pragma once

#include <nlohmann/json.hpp>

#include "returns/results/json_object_writer.h"
#include "returns/results/reconciliation.h"

namespace vat {

// The reconciliation as the command-line report and the run record give it, amounts in
// rupees: {"period": [start, end], "inputVat": {"accounts", "books", "return", "difference",
// "unexplained", "items"}, "outputVat", "cstOnPurchases", "cstOnSales", "vatPayable": {"books",
// "return", "difference"}}, written as the member `key` of an object being written, each
// figure's items one at a time: a month's thousands are never held as one tree.
void WriteReconciliationJson(JsonObjectWriter& object, std::string_view key,
                             const Reconciliation& reconciliation);
// Such an object read back. Throws RunRecordError when a part is missing or of another kind,
// or a difference or remainder does not follow from the rest. Each figure's items are those of
// taken, read apart as the object was parsed, then any the object still holds.
Reconciliation ParseReconciliationJson(const nlohmann::ordered_json& json,
                                       ReconcilingItems taken = {});
// One of a figure's items read back. Throws RunRecordError as the whole does.
ReconcilingItem ParseReconcilingItemJson(const nlohmann::ordered_json& item);

}  // namespace vat
