#pragma once

#include "ledger/ledger_connection.h"
#include "returns/rules/document_facts.h"

namespace vat {

// Each question is one statement on lookupRecordset, in the texts the books were first read
// with: a handful of round trips per voucher. Kept as the reference the per-list reading is
// compared with, and for a server where the per-list statements cannot run.
class PerVoucherFacts : public DocumentFacts {
public:
    explicit PerVoucherFacts(LedgerConnection& ledger) : ledger_(ledger) {}

    void PrepareFile(const ReturnFileKind& kind, const std::vector<BufferedRows>& lists) override;
    bool HasInventoryLines(long long voucher) override;
    const PartyFacts* Party(long long account) override;
    const CityFacts* City(long long code) override;
    std::optional<std::string_view> Sum(const VoucherSum& sum, long long voucher) override;
    const LineFacts& Lines(long long voucher) override;

private:
    LedgerConnection& ledger_;
    const ReturnFileKind* kind_ = nullptr;
    // The last answers, lent until the next question.
    PartyFacts party_;
    CityFacts city_;
    std::optional<std::string> sum_;
    LineFacts lines_;
};

}  // namespace vat
