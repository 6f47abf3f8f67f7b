#pragma once

#include <stdexcept>
#include <string>

namespace vat {

// A failed connect, query or field read, carrying the driver's SQLSTATE and message.
class LedgerError : public std::runtime_error {
public:
    LedgerError(std::string sqlState, const std::string& message)
        : std::runtime_error(message), sqlState_(std::move(sqlState)) {}

    const std::string& SqlState() const { return sqlState_; }

private:
    std::string sqlState_;
};

}  // namespace vat
