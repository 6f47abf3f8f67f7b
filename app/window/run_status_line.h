#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The line at the foot of the window that follows a run: which return file is being written
// and how many of its vouchers are done, and when the run has ended, its outcome.
class RunStatusLine : public QWidget {
    Q_OBJECT

public:
    explicit RunStatusLine(QWidget* parent);

    void show(const QString& file, long long done, long long total);
    void showText(const QString& text);
    void clear();

private:
    QLabel* text_;
    QProgressBar* bar_;
};
