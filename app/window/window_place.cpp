#include "app/window/window_place.h"

#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

constexpr char kPlaceKey[] = "windowPlace";
// Of the screen's free room: enough for the results beside the figures on a 1366x768 screen,
// with the desktop still in sight around the window on a larger one.
constexpr double kComfortableShare = 0.85;

QSettings Settings() { return QSettings("vat-efile", "window"); }

}  // namespace

void RestoreWindowPlace(QWidget& window) {
    if (window.restoreGeometry(Settings().value(kPlaceKey).toByteArray())) return;
    const QRect free = window.screen()->availableGeometry();
    const QSize comfortable =
        (free.size() * kComfortableShare).expandedTo(window.minimumSize()).boundedTo(free.size());
    QRect place(QPoint(), comfortable);
    place.moveCenter(free.center());
    window.setGeometry(place);
}

void RememberWindowPlace(const QWidget& window) {
    Settings().setValue(kPlaceKey, window.saveGeometry());
}
