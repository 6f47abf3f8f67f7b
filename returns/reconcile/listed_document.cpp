#include "returns/reconcile/listed_document.h"

namespace vat {

ListedDocuments::ListedDocuments(std::initializer_list<ListedDocument> documents) {
    for (const ListedDocument& document : documents) Add(document);
}

ListedDocuments::ListedDocuments(const ListedDocuments& other) : ListedDocuments() {
    for (const ListedDocument& document : other) Add(document);
}

ListedDocuments& ListedDocuments::operator=(const ListedDocuments& other) {
    if (this != &other) *this = ListedDocuments(other);
    return *this;
}

void ListedDocuments::Add(const ListedDocument& document) {
    ListedDocument& kept = documents_.emplace_back(document);
    kept.document = texts_.Keep(document.document);
    kept.leftOutBecause = texts_.Keep(document.leftOutBecause);
}

}  // namespace vat
