#include "app/window/error_list_printout.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <memory>
#include <span>
#include <vector>

namespace {

// The text's words with WORD JOINER between their characters, so that lines break at spaces
// only: Qt's own rules would break "Rs.1" after the point and a file name anywhere.
QString WordsKeptWhole(const QString& text) {
    QString kept;
    kept.reserve(text.size() * 2);
    for (qsizetype at = 0; at < text.size(); ++at) {
        kept += text[at];
        if (at + 1 < text.size() && !text[at].isSpace() && !text[at + 1].isSpace() &&
            !text[at].isHighSurrogate())
            kept += QChar(0x2060);
    }
    return kept;
}

QString Escaped(const QString& text) { return WordsKeptWhole(text).toHtmlEscaped(); }

QString Escaped(const std::string& text) { return Escaped(QString::fromStdString(text)); }

QString Cell(const QString& html) { return "<td>" + html + "</td>"; }

QString FileLine(const vat::ErrorRow& row) {
    const QString file = QFileInfo(QString::fromStdString(row.file)).fileName();
    return row.line ? file + ':' + QString::number(*row.line) : file;
}

// Room kept below each page's text for its footer, in points.
constexpr qreal kFooterPoints = 24;

// A page's HTML: the heading block on the first page, then the table's heading row and the
// rows given.
QString PageHtml(const ErrorListReport& report, bool withHeading,
                 std::span<const vat::ErrorRow> rows) {
    QString html;
    if (withHeading) {
        html = R"(<h3>Validation Errors</h3><table cellspacing="0" cellpadding="1">)";
        for (const HeadingLine& line : report.heading)
            html += "<tr><td><b>" + QString::fromStdString(line.caption).toHtmlEscaped() +
                    "</b></td><td>&nbsp;&nbsp;" +
                    QString::fromStdString(line.text).toHtmlEscaped() + "</td></tr>";
        html += "</table><br>";
    }
    html +=
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
        "<thead><tr bgcolor=\"#e0e0e0\">"
        "<th width=\"17%\" align=\"left\">Type</th><th width=\"20%\" align=\"left\">Document</th>"
        "<th width=\"45%\" align=\"left\">Error</th><th width=\"18%\" align=\"left\">File:Line</th>"
        "</tr></thead><tbody>";
    for (const vat::ErrorRow& row : rows)
        html += "<tr>" + Cell(Escaped(row.type)) + Cell(Escaped(row.document)) +
                Cell(Escaped(row.error).replace("\r\n", "<br>")) + Cell(Escaped(FileLine(row))) +
                "</tr>";
    html += "</tbody></table>";
    return html;
}

// The HTML laid out on the printer, as wide as the page and as tall as it needs.
std::unique_ptr<QTextDocument> LaidOut(const QString& html, QPrinter& printer, qreal width) {
    auto document = std::make_unique<QTextDocument>();
    // A word too long for its column widens the column rather than breaking.
    QTextOption wrapping = document->defaultTextOption();
    wrapping.setWrapMode(QTextOption::WordWrap);
    document->setDefaultTextOption(wrapping);
    document->documentLayout()->setPaintDevice(&printer);
    document->setHtml(html);
    document->setTextWidth(width);
    return document;
}

// The pages, each of whole rows and no taller than the body; a row taller than a page on its
// own has a page to itself. Each row is measured once in a table of its own, which gives a
// page's rows; a page that comes out taller than the sum says gives up rows until it fits.
std::vector<std::unique_ptr<QTextDocument>> Pages(const ErrorListReport& report, QPrinter& printer,
                                                  QSizeF body) {
    const std::span<const vat::ErrorRow> rows = report.rows;
    const auto height = [&](bool withHeading, std::span<const vat::ErrorRow> some) {
        return LaidOut(PageHtml(report, withHeading, some), printer, body.width())->size().height();
    };
    const qreal emptyTable = height(false, {});
    std::vector<qreal> rowHeights;
    for (std::size_t row = 0; row < rows.size(); ++row)
        rowHeights.push_back(height(false, rows.subspan(row, 1)) - emptyTable);

    std::vector<std::unique_ptr<QTextDocument>> pages;
    std::size_t first = 0;
    do {
        const bool withHeading = pages.empty();
        qreal used = height(withHeading, {});
        std::size_t end = first;
        while (end < rows.size() && (end == first || used + rowHeights[end] <= body.height()))
            used += rowHeights[end++];
        auto page = LaidOut(PageHtml(report, withHeading, rows.subspan(first, end - first)),
                            printer, body.width());
        while (page->size().height() > body.height() && end - first > 1)
            page = LaidOut(PageHtml(report, withHeading, rows.subspan(first, --end - first)),
                           printer, body.width());
        pages.push_back(std::move(page));
        first = end;
    } while (first < rows.size());
    return pages;
}

}  // namespace

// Each page's document is drawn on its page, then the footer, with the page count known.
void PrintErrorList(const ErrorListReport& report, QPrinter& printer) {
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal footer = kFooterPoints * printer.resolution() / 72.0;
    const QSizeF body(page.width(), page.height() - footer);
    const std::vector<std::unique_ptr<QTextDocument>> pages = Pages(report, printer, body);

    QPainter painter(&printer);
    for (std::size_t number = 1; number <= pages.size(); ++number) {
        if (number > 1) printer.newPage();
        pages[number - 1]->drawContents(&painter, QRectF(QPointF(0, 0), body));
        painter.drawText(QRectF(0, body.height(), body.width(), footer),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString("Page %1 of %2").arg(number).arg(pages.size()));
    }
}
