#include "app/window/elided_path.h"

ElidedPath::ElidedPath(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Looks like the read-only field it is.
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setIndent(3);
}

void ElidedPath::setPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    fit();
}

void ElidedPath::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void ElidedPath::fit() {
    const int room = contentsRect().width() - 2 * indent();
    setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, qMax(room, 0)));
}
