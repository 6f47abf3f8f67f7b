#include "app/window/window_growth.h"

#include <QWidget>

void WindowGrowth::follow(QWidget* control, Qt::Edges edges) {
    followers_.push_back({control, control->geometry(), edges});
}

void WindowGrowth::apply(QSize growth) const {
    for (const Follower& follower : followers_) {
        const auto shift = [&](Qt::Edge edge, int by) { return follower.edges & edge ? by : 0; };
        const int dx = growth.width(), dy = growth.height();
        follower.control->setGeometry(
            follower.designed.adjusted(shift(Qt::LeftEdge, dx), shift(Qt::TopEdge, dy),
                                       shift(Qt::RightEdge, dx), shift(Qt::BottomEdge, dy)));
    }
}
