#pragma once

#include "returns/return_context.h"
#include "returns/return_file_kind.h"

namespace vat {

// The six return files, in the order a run writes them.
const ReturnFileKind& LocalPurchaseFileKind();
const ReturnFileKind& PurchaseReturnFileKind();
const ReturnFileKind& LocalSalesFileKind();
const ReturnFileKind& SalesReturnFileKind();
const ReturnFileKind& InterstateSalesFileKind();
const ReturnFileKind& InterstatePurchaseFileKind();

void GenerateLocalPurchaseFile(ReturnContext& context);
void GeneratePurchaseReturnFile(ReturnContext& context);
void GenerateLocalSalesFile(ReturnContext& context);
void GenerateSalesReturnFile(ReturnContext& context);
void GenerateInterstateSalesFile(ReturnContext& context);
void GenerateInterstatePurchaseFile(ReturnContext& context);

}  // namespace vat
