#include "app/space_wrap_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

namespace {

// The gap Qt's own item views leave on either side of a cell's text.
int TextMargin(const QStyleOptionViewItem& option) {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

}  // namespace

// Each word is measured once and a line's width taken as the sum of its words and spaces, so
// that a long list is laid out in time linear in its text.
QStringList WrapAtSpaces(const QString& text, const QFontMetrics& metrics, int width) {
    static const QRegularExpression lineEnd("\r\n|\n|\r");
    const int space = metrics.horizontalAdvance(' ');
    QStringList lines;
    for (const QString& paragraph : text.split(lineEnd)) {
        QString line;
        int lineWidth = 0;
        for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
            const int wordWidth = metrics.horizontalAdvance(word);
            if (line.isEmpty()) {
                line = word;
                lineWidth = wordWidth;
            } else if (lineWidth + space + wordWidth <= width) {
                line += ' ' + word;
                lineWidth += space + wordWidth;
            } else {
                lines.append(line);
                line = word;
                lineWidth = wordWidth;
            }
        }
        lines.append(line);
    }
    return lines;
}

void SpaceWrapDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const int margin = TextMargin(cell);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget)
                           .adjusted(margin, 0, -margin, 0);
    const QStringList lines = WrapAtSpaces(text, cell.fontMetrics, area.width());
    const bool selected = cell.state & QStyle::State_Selected;
    painter->save();
    painter->setClipRect(area);
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(QPalette::Normal,
                                       selected ? QPalette::HighlightedText : QPalette::Text));
    QRect line = area;
    line.setHeight(cell.fontMetrics.lineSpacing());
    for (const QString& shown : lines) {
        painter->drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
        line.translate(0, line.height());
    }
    painter->restore();
}

// Against the column's width when the view asks for a row's height, else the text's own width.
QSize SpaceWrapDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const int margin = TextMargin(cell);
    const int width = cell.rect.width() > 0 ? cell.rect.width() - 2 * margin : INT_MAX;
    const QStringList lines = WrapAtSpaces(cell.text, cell.fontMetrics, width);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, cell.fontMetrics.horizontalAdvance(line));
    return {widest + 2 * margin,
            static_cast<int>(lines.size()) * cell.fontMetrics.lineSpacing() + 2 * margin};
}
