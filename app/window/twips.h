#pragma once

#include <QRect>
#include <QSize>

class QPaintDevice;

// The window is designed in twips (1440 to the inch); this places it at the screen's logical
// resolution so that it keeps its designed proportions at any scaling.
class Twips {
public:
    explicit Twips(const QPaintDevice& device);

    int x(int twips) const;
    int y(int twips) const;
    QSize size(int width, int height) const;
    QRect rect(int left, int top, int width, int height) const;

private:
    int dpiX_;
    int dpiY_;
};
