#include "app/window/progress_throttle.h"

namespace {

constexpr qint64 kPaintMilliseconds = 100;

}  // namespace

bool ProgressThrottle::due(const std::string& file, long long done, long long total) {
    if (file == file_ && done != total && sincePainted_.isValid() &&
        sincePainted_.elapsed() < kPaintMilliseconds)
        return false;
    file_ = file;
    sincePainted_.start();
    return true;
}
