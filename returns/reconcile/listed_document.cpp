#include "returns/reconcile/listed_document.h"

namespace vat {

ListedDocument ListedDocument::KeptIn(TextBlocks& texts) const {
    ListedDocument kept = *this;
    kept.document = texts.Keep(document);
    kept.leftOutBecause = texts.Keep(leftOutBecause);
    return kept;
}

}  // namespace vat
