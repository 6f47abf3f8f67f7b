#include "app/window/error_list_printout.h"

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The printed pages as text, one string a page.
QStringList PrintedPages(const ErrorListReport& report, const QString& folder,
                         const QPageSize& size = QPageSize(QPageSize::A4)) {
    const QString pdf = folder + "/errors.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(size);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintErrorList(report, printer);

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    if (!pdftotext.waitForFinished() || pdftotext.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

const std::vector<HeadingLine> kHeading = {{"Company", "shop2013"},
                                           {"Dealer TIN", "29111111111"},
                                           {"Month", "APR 2013"},
                                           {"Input Vat (+)", "500.00", 500}};

}  // namespace

class ErrorListPrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void printsTheHeadingBlockAndTheRows() {
        QTemporaryDir folder;
        const QStringList pages = PrintedPages(
            {kHeading,
             {{"Local Purchase", "Bill 17 of ACME & SONS <BLR> omitted: basic amount below 1"},
              {"Sales Return", "Element 'TinNo': [facet 'length'] The value has a length of 10",
               "CN-4, 2014-04-20", "/p/04/efile_sal_returns04.xml", 7}}},
            folder.path());
        QCOMPARE(pages.size(), 1);
        const QString& page = pages.first();
        for (const char* expected :
             {"Company", "shop2013", "Dealer TIN", "29111111111", "APR 2013", "Input Vat (+)",
              "500.00", "Local Purchase", "Bill 17 of ACME & SONS <BLR> omitted", "Sales Return",
              "Element 'TinNo': [facet 'length']", "CN-4, 2014-04-20",
              "_sal_returns04.xml:7" /* "fi" may come back as its ligature */, "Page 1 of 1"})
            QVERIFY2(page.contains(expected), qPrintable(page));
    }

    void repeatsHeadingsAndCountsPagesOnEveryPage() {
        QTemporaryDir folder;
        ErrorListReport report{kHeading, {}};
        for (int row = 1; row <= 150; ++row)
            report.rows.push_back(
                {"Local Sales", "Row " + std::to_string(row) + " failed its schema"});
        const QStringList pages = PrintedPages(report, folder.path());
        QVERIFY(pages.size() > 1);
        for (qsizetype page = 0; page < pages.size(); ++page) {
            QVERIFY2(pages[page].contains(
                         QRegularExpression("^\\s*Type\\s+Document\\s+Error\\s+File:Line\\s*$",
                                            QRegularExpression::MultilineOption)),
                     qPrintable(pages[page]));
            QVERIFY2(pages[page].contains(QString("Page %1 of %2").arg(page + 1).arg(pages.size())),
                     qPrintable(pages[page]));
        }
        QVERIFY(pages.last().contains("Row 150 failed its schema"));
    }

    // On pages a few rows tall, every row of several lines begins and ends on the same page.
    void keepsEachRowOnOnePage() {
        const std::string kTails[] = {"", "\r\nReason :x/y",
                                      "\r\nThe value 'x' is not an element of the set"};
        QTemporaryDir folder;
        ErrorListReport report{kHeading, {}};
        for (int row = 1; row <= 40; ++row)
            report.rows.push_back({"Local Sales",
                                   "begins#" + std::to_string(row) +
                                       "# Element 'SellerName': [facet 'maxLength'] The "
                                       "value has a length of 41; this exceeds the allowed "
                                       "maximum length of 30." +
                                       kTails[row % 3] + " ends#" + std::to_string(row) + "#",
                                   "Inv No.C" + std::to_string(row)});
        const QStringList pages =
            PrintedPages(report, folder.path(), QPageSize(QSizeF(150, 70), QPageSize::Millimeter));
        QVERIFY2(pages.size() >= 10, qPrintable(QString::number(pages.size())));
        const auto pageOf = [&](const QString& text) {
            for (qsizetype page = 0; page < pages.size(); ++page)
                if (pages[page].contains(text)) return page;
            return qsizetype{-1};
        };
        for (int row = 1; row <= 40; ++row) {
            const qsizetype begins = pageOf(QString("begins#%1#").arg(row));
            QVERIFY2(begins >= 0, qPrintable(QString::number(row)));
            QCOMPARE(pageOf(QString("ends#%1#").arg(row)), begins);
        }
    }
};

QTEST_MAIN(ErrorListPrintoutTest)
#include "error_list_printout_test.moc"
