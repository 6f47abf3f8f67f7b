#include "returns/run/files_ahead.h"

#include <stdexcept>
#include <system_error>

#include "ledger/ledger_error.h"
#include "returns/declarations/return_files.h"

namespace vat {

FilesAhead::FilesAhead(const LedgerSnapshot& snapshot, int monthNumber)
    : ledger_(snapshot.Ledger()), monthNumber_(monthNumber), shared_(snapshot) {
    Start(RunOrder().front());
}

FilesAhead::~FilesAhead() {
    if (!coming_.valid()) return;
    shared_.Cancel();
    coming_.wait();
}

void FilesAhead::Start(const ReturnFileKind& kind) {
    const bool first = next_ == 0;
    const auto prepare = [this, &kind, first]() -> std::optional<PreparedFile> {
        if (first) {
            try {
                shared_.Open();
            } catch (const LedgerError&) {
                return std::nullopt;
            }
        }
        return PrepareFile(kind, monthNumber_, FactReading::PerList, shared_.Ledger(), readAhead_);
    };
    try {
        coming_ = std::async(std::launch::async, prepare);
    } catch (const std::system_error&) {
        // No thread to be had: the file is prepared when it is taken.
    }
}

PreparedFile FilesAhead::Take(const ReturnFileKind& kind) {
    const ReturnFileKinds& order = RunOrder();
    if (next_ >= order.size() || &order[next_].get() != &kind)
        throw std::logic_error("A return file was asked for out of the run order");
    ++next_;
    std::optional<PreparedFile> prepared;
    if (coming_.valid()) prepared = coming_.get();
    // Prepared here, on the run's connection, from the first without a second one on.
    if (!prepared)
        return PrepareFile(kind, monthNumber_, FactReading::PerList, ledger_, readAhead_);
    if (next_ < order.size()) Start(order[next_]);
    return std::move(*prepared);
}

}  // namespace vat
