#pragma once

#include <stdexcept>

namespace vat {

// A look-up found no row, or a value the document needs is NULL. The document is left out
// and reported; the run goes on.
class MissingLedgerData : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vat
