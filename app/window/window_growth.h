#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

// Lets a window designed at a fixed size grow: each control registered here keeps its designed
// place at the designed size, and the edges named for it follow the window's right or bottom
// edge by as much as the window has grown. Controls not registered never move.
class WindowGrowth {
public:
    // Registers the control at its present (designed) geometry. Qt::RightEdge and
    // Qt::BottomEdge stretch it; with Qt::LeftEdge or Qt::TopEdge as well it moves instead.
    void follow(QWidget* control, Qt::Edges edges);
    bool follows(const QWidget* control) const;

    // Places every registered control for a window grown this much beyond its designed size,
    // moved by `by` from its designed place first.
    void apply(QSize growth, QPoint by = {}) const;

private:
    struct Follower {
        QWidget* control;
        QRect designed;
        Qt::Edges edges;
    };
    std::vector<Follower> followers_;
};
