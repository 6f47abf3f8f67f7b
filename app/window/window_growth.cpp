#include "app/window/window_growth.h"

#include <QWidget>
#include <algorithm>

void WindowGrowth::follow(QWidget* control, Qt::Edges edges) {
    followers_.push_back({control, control->geometry(), edges});
}

bool WindowGrowth::follows(const QWidget* control) const {
    return std::ranges::any_of(
        followers_, [control](const Follower& follower) { return follower.control == control; });
}

void WindowGrowth::apply(QSize growth, QPoint by) const {
    for (const Follower& follower : followers_) {
        const auto grown = [&](Qt::Edge edge, int amount) {
            return follower.edges & edge ? amount : 0;
        };
        const int dx = growth.width(), dy = growth.height();
        follower.control->setGeometry(follower.designed.translated(by).adjusted(
            grown(Qt::LeftEdge, dx), grown(Qt::TopEdge, dy), grown(Qt::RightEdge, dx),
            grown(Qt::BottomEdge, dy)));
    }
}
