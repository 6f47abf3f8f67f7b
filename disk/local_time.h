#pragma once

#include <chrono>
#include <string>

namespace vat {

// A moment in local time as "yyyy-mm-dd hh:mm:ss".
std::string LocalTimeText(std::chrono::system_clock::time_point moment);

}  // namespace vat
