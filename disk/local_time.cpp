#include "disk/local_time.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace vat {

namespace {

// "yyyy-mm-dd": four digits, a hyphen, two digits, a hyphen, two digits.
bool IsIsoDay(std::string_view day) {
    constexpr std::string_view kShape = "9999-99-99";
    return day.size() == kShape.size() &&
           std::equal(day.begin(), day.end(), kShape.begin(), [](char c, char shape) {
               return shape == '9' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : c == shape;
           });
}

}  // namespace

std::string LocalTimeText(std::chrono::system_clock::time_point moment) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(moment);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string PersonsForm(std::string_view localTime) {
    const std::string_view day = localTime.substr(0, 10);
    const std::string_view rest = localTime.substr(day.size());
    if (!IsIsoDay(day) || !(rest.empty() || rest.front() == ' ')) return std::string(localTime);
    return std::string(day.substr(8, 2)) + '/' + std::string(day.substr(5, 2)) + '/' +
           std::string(day.substr(0, 4)) + std::string(rest);
}

std::string PersonsTimeText(std::chrono::system_clock::time_point moment) {
    return PersonsForm(LocalTimeText(moment));
}

}  // namespace vat
