#include "app/window/twips.h"

#include <QPaintDevice>
#include <cmath>

namespace {

constexpr double kTwipsPerInch = 1440.0;

int Pixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

}  // namespace

Twips::Twips(const QPaintDevice& device)
    : dpiX_(device.logicalDpiX()), dpiY_(device.logicalDpiY()) {}

int Twips::X(int twips) const { return Pixels(twips, dpiX_); }

int Twips::Y(int twips) const { return Pixels(twips, dpiY_); }

QSize Twips::Size(int width, int height) const { return {X(width), Y(height)}; }

// Both edges are converted, not the width, so that controls designed edge to edge stay so.
QRect Twips::Rect(int left, int top, int width, int height) const {
    return QRect(QPoint(X(left), Y(top)), QPoint(X(left + width) - 1, Y(top + height) - 1));
}
