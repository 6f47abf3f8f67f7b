#pragma once

#include <QElapsedTimer>
#include <string>

// Says when a run's progress is worth painting: painting after every voucher would slow the run
// down more than it tells the user. A new file and a finished one are always painted.
class ProgressThrottle {
public:
    bool due(const std::string& file, long long done, long long total);
    void reset() { file_.clear(); }

private:
    QElapsedTimer sincePainted_;
    std::string file_;
};
