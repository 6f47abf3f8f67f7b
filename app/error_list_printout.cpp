#include "app/error_list_printout.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

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

}  // namespace

QString ErrorListHtml(const ErrorListReport& report) {
    QString html = "<h3>Validation Errors</h3><table cellspacing=\"0\" cellpadding=\"1\">";
    for (const HeadingLine& line : report.heading)
        html += "<tr><td><b>" + QString::fromStdString(line.caption).toHtmlEscaped() +
                "</b></td><td>&nbsp;&nbsp;" + QString::fromStdString(line.text).toHtmlEscaped() +
                "</td></tr>";
    html +=
        "</table><br>"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
        "<thead><tr bgcolor=\"#e0e0e0\">"
        "<th width=\"17%\" align=\"left\">Type</th><th width=\"20%\" align=\"left\">Document</th>"
        "<th width=\"45%\" align=\"left\">Error</th><th width=\"18%\" align=\"left\">File:Line</th>"
        "</tr></thead><tbody>";
    for (const vat::ErrorRow& row : report.rows)
        html += "<tr>" + Cell(Escaped(row.type)) + Cell(Escaped(row.document)) +
                Cell(Escaped(row.error).replace("\r\n", "<br>")) + Cell(Escaped(FileLine(row))) +
                "</tr>";
    html += "</tbody></table>";
    return html;
}

// Lays the document out page by page on the printer's page and draws each page's slice of it,
// then the footer, as QTextDocument::print would but with the page count known.
void PrintErrorList(const ErrorListReport& report, QPrinter& printer) {
    QTextDocument document;
    // A word too long for its column widens the column rather than breaking.
    QTextOption wrapping = document.defaultTextOption();
    wrapping.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(wrapping);
    document.documentLayout()->setPaintDevice(&printer);
    document.setHtml(ErrorListHtml(report));
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal footer = kFooterPoints * printer.resolution() / 72.0;
    const QSizeF body(page.width(), page.height() - footer);
    document.setPageSize(body);
    const int pages = document.pageCount();

    QPainter painter(&printer);
    for (int number = 1; number <= pages; ++number) {
        if (number > 1) printer.newPage();
        const QRectF slice(QPointF(0, (number - 1) * body.height()), body);
        painter.save();
        painter.translate(0, -slice.top());
        document.drawContents(&painter, slice);
        painter.restore();
        painter.drawText(QRectF(0, body.height(), body.width(), footer),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString("Page %1 of %2").arg(number).arg(pages));
    }
}
