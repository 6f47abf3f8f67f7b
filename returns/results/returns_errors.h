#pragma once

#include <stdexcept>

namespace vat {

// The errors of the tax side. The ledger (LedgerError), the schema check (SchemaLoadError) and
// the disk (DiskError) have their own, each in its part.

// A run record, or a part of one, that cannot be read: not there whole, not JSON, a figure
// missing or not a number.
class RunRecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A run record whose file could not be read at all (its permissions, say), so nothing is known
// of its content.
class RunRecordUnreadable : public RunRecordError {
public:
    using RunRecordError::RunRecordError;
};

// A run that stopped because its cancel was requested.
class RunCancelled : public std::runtime_error {
public:
    RunCancelled() : std::runtime_error("The run was cancelled") {}
};

}  // namespace vat
