#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

class QFontMetrics;

// The lines of a text wrapped to a width at spaces only, so that "Rs.1", "INV/101" or
// "2013-04-03" never break across lines; a CR LF or LF ends a line. A word wider than the
// width keeps a line to itself.
QStringList WrapAtSpaces(const QString& text, const QFontMetrics& metrics, int width);

// Draws and sizes an item view's cells with WrapAtSpaces, top-aligned.
class SpaceWrapDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
