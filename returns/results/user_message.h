#pragma once

#include <string>

namespace vat {

struct UserMessage {
    std::string text;
    bool critical = false;    // shown with the critical-error icon
    std::string detail = {};  // the cause in the system's own words, for the user to unfold
    friend bool operator==(const UserMessage&, const UserMessage&) = default;
};

}  // namespace vat
