#pragma once

#include <QLabel>

// A folder's path in the room a row leaves it: cut short in its middle when it does not fit, so
// that both the drive and the month folder at its end show; the tooltip holds it whole. It
// gives way to its neighbours down to nothing rather than push them out of the row.
class ElidedPath : public QLabel {
    Q_OBJECT

public:
    explicit ElidedPath(QWidget* parent);

    void setPath(const QString& path);
    const QString& path() const { return path_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();

    QString path_;
};
