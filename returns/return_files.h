#pragma once

#include "return_context.h"
#include "return_file_spec.h"

namespace vat {

// The six return files, in the order a run writes them.
const ReturnFileSpec& LocalPurchaseFileSpec();
const ReturnFileSpec& PurchaseReturnFileSpec();
const ReturnFileSpec& LocalSalesFileSpec();
const ReturnFileSpec& SalesReturnFileSpec();
const ReturnFileSpec& InterstateSalesFileSpec();
const ReturnFileSpec& InterstatePurchaseFileSpec();

void GenerateLocalPurchaseFile(ReturnContext& context);
void GeneratePurchaseReturnFile(ReturnContext& context);
void GenerateLocalSalesFile(ReturnContext& context);
void GenerateSalesReturnFile(ReturnContext& context);
void GenerateInterstateSalesFile(ReturnContext& context);
void GenerateInterstatePurchaseFile(ReturnContext& context);

}  // namespace vat
