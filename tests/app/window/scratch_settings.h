#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Keeps what the window remembers in a folder of the test's own, removed afterwards, so that a
// test neither reads the user's choices nor leaves its own behind. Made before any QSettings.
class ScratchSettings {
public:
    ScratchSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }

private:
    QTemporaryDir folder_;
};
