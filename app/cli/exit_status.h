#pragma once

#include <algorithm>
#include <iterator>

// The exit statuses.
inline constexpr int kCompleted = 0;
inline constexpr int kFailed = 1;
inline constexpr int kRefused = 2;
inline constexpr int kSchemaErrors = 3;
inline constexpr int kBooksChanged = 4;
inline constexpr int kCancelled = 5;

// The worse of two statuses of a year's months or of the data files: completed, schema errors,
// refused, failed, cancelled.
constexpr int Worse(int one, int other) {
    const auto rank = [](int status) {
        constexpr int kFromBest[] = {kCompleted, kSchemaErrors, kRefused, kFailed, kCancelled};
        return std::find(std::begin(kFromBest), std::end(kFromBest), status) -
               std::begin(kFromBest);
    };
    return rank(one) >= rank(other) ? one : other;
}
