#pragma once

#include <stdexcept>

namespace vat {

// A file or folder cannot be created, written, read or put in place; the message names it and
// the system's reason.
class DiskError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vat
