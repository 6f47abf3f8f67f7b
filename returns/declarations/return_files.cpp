#include "returns/declarations/return_files.h"

namespace vat {

const ReturnFileKinds& RunOrder() {
    static const ReturnFileKinds kinds{
        LocalPurchaseFileKind(), PurchaseReturnFileKind(),  LocalSalesFileKind(),
        SalesReturnFileKind(),   InterstateSalesFileKind(), InterstatePurchaseFileKind(),
    };
    return kinds;
}

}  // namespace vat
