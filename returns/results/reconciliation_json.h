#pragma once

#include <nlohmann/json.hpp>

#include "returns/results/reconciliation.h"

namespace vat {

// The reconciliation as the command-line report and the run record give it, amounts in
// rupees: {"period": [start, end], "inputVat": {"accounts", "books", "return", "difference",
// "unexplained", "items"}, "outputVat", "cstOnPurchases", "cstOnSales", "vatPayable": {"books",
// "return", "difference"}}.
nlohmann::ordered_json ReconciliationJson(const Reconciliation& reconciliation);
// The same with every figure's "items" left empty, and one item as "items" holds it: a month's
// thousands of items can then be printed one by one rather than as one large tree.
nlohmann::ordered_json ReconciliationJsonWithoutItems(const Reconciliation& reconciliation);
nlohmann::ordered_json ReconcilingItemJson(const ReconcilingItem& item);
// Such an object read back. Throws RunRecordError when a part is missing or of another kind,
// or a difference or remainder does not follow from the rest.
Reconciliation ParseReconciliationJson(const nlohmann::ordered_json& json);

}  // namespace vat
