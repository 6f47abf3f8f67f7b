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

int Twips::x(int twips) const { return Pixels(twips, dpiX_); }

int Twips::y(int twips) const { return Pixels(twips, dpiY_); }

QSize Twips::size(int width, int height) const { return {x(width), y(height)}; }

// Both edges are converted, not the width, so that controls designed edge to edge stay so.
QRect Twips::rect(int left, int top, int width, int height) const {
    return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
}
