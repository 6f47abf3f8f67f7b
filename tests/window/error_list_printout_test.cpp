#include "app/error_list_printout.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The printed pages as text, one string a page.
QStringList PrintedPages(const std::vector<vat::ErrorRow>& rows, const QString& folder) {
    const QString pdf = folder + "/errors.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintErrorList(rows, printer);

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    if (!pdftotext.waitForFinished() || pdftotext.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace

class ErrorListPrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void printsHeadingsAndRows() {
        QTemporaryDir folder;
        const QStringList pages = PrintedPages(
            {{"Local Purchase", "Bill 17 of ACME & SONS <BLR> omitted: basic amount below 1"},
             {"Sales Return", "Element 'TinNo': [facet 'length'] The value has a length of 10"}},
            folder.path());
        QCOMPARE(pages.size(), 1);
        const QString& page = pages.first();
        for (const char* expected :
             {"Type", "Error", "Local Purchase", "Bill 17 of ACME & SONS <BLR> omitted",
              "Sales Return", "Element 'TinNo': [facet 'length']"})
            QVERIFY2(page.contains(expected), expected);
    }

    void repeatsHeadingsOnEveryPage() {
        QTemporaryDir folder;
        std::vector<vat::ErrorRow> rows;
        for (int row = 1; row <= 150; ++row)
            rows.push_back({"Local Sales", "Row " + std::to_string(row) + " failed its schema"});
        const QStringList pages = PrintedPages(rows, folder.path());
        QVERIFY(pages.size() > 1);
        for (const QString& page : pages) {
            const QString firstLine = page.trimmed().section('\n', 0, 0);
            QVERIFY2(page.contains(QRegularExpression("^\\s*Type\\s+Error\\s*$",
                                                      QRegularExpression::MultilineOption)),
                     qPrintable(firstLine));
        }
        QVERIFY(pages.last().contains("Row 150 failed its schema"));
    }
};

QTEST_MAIN(ErrorListPrintoutTest)
#include "error_list_printout_test.moc"
