#pragma once

#include <array>
#include <functional>

#include "returns/declarations/return_file_kind.h"

namespace vat {

// The six return files.
const ReturnFileKind& LocalPurchaseFileKind();
const ReturnFileKind& PurchaseReturnFileKind();
const ReturnFileKind& LocalSalesFileKind();
const ReturnFileKind& SalesReturnFileKind();
const ReturnFileKind& InterstateSalesFileKind();
const ReturnFileKind& InterstatePurchaseFileKind();

// The six in the order a run writes them; the run, the tests and the benchmark walk this list.
using ReturnFileKinds = std::array<std::reference_wrapper<const ReturnFileKind>, 6>;
const ReturnFileKinds& RunOrder();

}  // namespace vat
