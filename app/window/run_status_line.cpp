#include "app/window/run_status_line.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

RunStatusLine::RunStatusLine(QWidget* parent)
    : QWidget(parent), text_(new QLabel(this)), bar_(new QProgressBar(this)) {
    text_->setObjectName("runStatusText");
    bar_->setObjectName("runStatusBar");
    bar_->setTextVisible(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_, 3);
    layout->addWidget(bar_, 2);
    clear();
}

void RunStatusLine::show(const QString& file, long long done, long long total) {
    text_->setText(QString("%1: %2 of %3 vouchers").arg(file).arg(done).arg(total));
    // A file without vouchers is done at once; QProgressBar takes int.
    const long long scale = std::max(total, 1LL);
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>((total == 0 ? 1 : done) * 1000 / scale));
    bar_->show();
}

void RunStatusLine::showText(const QString& text) {
    text_->setText(text);
    text_->setToolTip(text);
    bar_->hide();
}

void RunStatusLine::clear() {
    text_->clear();
    bar_->hide();
}
