#include "app/error_list_printout.h"

#include <QPrinter>
#include <QTextDocument>

namespace {

QString Cell(const std::string& text) {
    return "<td>" + QString::fromStdString(text).toHtmlEscaped() + "</td>";
}

}  // namespace

QString ErrorListHtml(const std::vector<vat::ErrorRow>& rows) {
    QString html =
        "<h3>Validation Errors</h3>"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
        "<thead><tr bgcolor=\"#e0e0e0\">"
        "<th width=\"30%\" align=\"left\">Type</th><th width=\"70%\" align=\"left\">Error</th>"
        "</tr></thead><tbody>";
    for (const vat::ErrorRow& row : rows)
        html += "<tr>" + Cell(row.type) + Cell(row.error) + "</tr>";
    html += "</tbody></table>";
    return html;
}

void PrintErrorList(const std::vector<vat::ErrorRow>& rows, QPrinter& printer) {
    QTextDocument document;
    document.setHtml(ErrorListHtml(rows));
    document.print(&printer);
}
