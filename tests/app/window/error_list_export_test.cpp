#include "app/export/error_list_export.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using Records = std::vector<std::vector<std::string>>;

// RFC 4180 read back: quoted fields may hold commas, doubled quotes and line breaks; every
// record ends in CR LF.
Records ParseCsv(const std::string& text) {
    Records records(1);
    std::string field;
    bool quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (quoted) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                field += '"';
                ++at;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && text.substr(at, 2) == "\r\n") {
            records.back().push_back(std::move(field));
            field.clear();
            records.emplace_back();
            ++at;
        } else {
            field += c;
        }
    }
    records.pop_back();  // after the last CR LF
    return records;
}

std::string ReadFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

QString Unzipped(const QString& archive, const QString& member) {
    QProcess unzip;
    unzip.start("unzip", {"-p", archive, member});
    if (!unzip.waitForFinished() || unzip.exitCode() != 0) return {};
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

const std::chrono::system_clock::time_point kRunEnded =
    std::chrono::system_clock::from_time_t(1'400'000'000);

// A run of April 2013 on shop2013: 500.00 input VAT, 40.00 output VAT, one URD sale.
vat::RunResult ARun() {
    vat::RunResult run{
        .outcome = vat::RunOutcome::Completed,
        .books = vat::SelectedBooks{"shop2013", vat::LedgerDate{2013, 4, 1}, {}, "29111111111"},
        .monthNumber = 4};
    run.figures.inputVatPlus = 5000000;
    run.figures.outputVatPlus = 400000;
    vat::CompleteRun(run.figures, vat::UrdTotals{0, 0, 0, 1, 800, 40});
    vat::FileAccount purchases;
    purchases.file = "efile_pur04.xml";
    purchases.path = "/p/04/efile_pur04.xml";
    purchases.listed = purchases.written = 1;
    purchases.schemaErrors = 1;
    purchases.valid = false;
    run.accounts = {purchases};
    run.rows = {{"Purchase Within State",
                 "B No.17 of ACME, \"SONS\" & CO omitted due to basic amount being less than Rs.1"},
                {"", "<SelTin> (checked element 3) is not valid. Reason: too short"}};
    return run;
}

}  // namespace

class ErrorListExportTest : public QObject {
    Q_OBJECT

private:
    ErrorListReport Report() {
        const vat::RunResult run = ARun();
        ErrorListReport report = MakeErrorListReport(run, DescribeRun(run, kRunEnded));
        report.rows[1].document = "INV/101, 2013-04-03, SHREE RAMA AGENCIES";
        report.rows[1].file = "/p/04/efile_pur04.xml";
        report.rows[1].line = 12;
        return report;
    }

    QTemporaryDir folder_;

private slots:
    void headingNamesTheRunAndItsFigures_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");  // -1 when the value is no figure
        QTest::newRow("company") << "Company"
                                 << "shop2013" << -1.0;
        QTest::newRow("TIN") << "Dealer TIN"
                             << "29111111111" << -1.0;
        QTest::newRow("data file") << "Data file"
                                   << "shop2013" << -1.0;
        QTest::newRow("month") << "Month"
                               << "APR 2013" << -1.0;
        QTest::newRow("run time") << "Run time"
                                  << QString::fromStdString(vat::PersonsTimeText(kRunEnded))
                                  << -1.0;
        QTest::newRow("input VAT") << "Input Vat (+)"
                                   << "500.00" << 500.0;
        QTest::newRow("URD bills") << "URD Sales No Of Bills"
                                   << "1" << 1.0;
        QTest::newRow("verdict") << "VAT Refundable"
                                 << "460.00" << 460.0;
        QTest::newRow("outcome") << "Run outcome"
                                 << "1 file written, 1 failed its schema check: "
                                    "efile_pur04.xml (1 error)"
                                 << -1.0;
        QTest::newRow("rows") << "Error rows"
                              << "2" << 2.0;
    }

    void headingNamesTheRunAndItsFigures() {
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(double, number);
        const ErrorListReport report = Report();
        const auto line = std::find_if(
            report.heading.begin(), report.heading.end(),
            [&](const HeadingLine& line) { return line.caption == caption.toStdString(); });
        QVERIFY(line != report.heading.end());
        QCOMPARE(QString::fromStdString(line->text), text);
        QCOMPARE(line->number.value_or(-1), number);
    }

    void csvReadsBackAsItsHeadingAndRows() {
        const ErrorListReport report = Report();
        const QString file = folder_.filePath("errors.csv");
        ExportErrorList(report, file.toStdString());
        const std::string text = ReadFile(file);
        QVERIFY(text.starts_with("\xEF\xBB\xBF"));

        Records expected;
        for (const HeadingLine& line : report.heading)
            expected.push_back({line.caption, line.text});
        expected.push_back({""});
        expected.push_back({"Type", "Document", "Error", "File", "Line"});
        for (const vat::ErrorRow& row : report.rows) {
            const auto cells = ExportCells(row);
            expected.emplace_back(cells.begin(), cells.end());
        }
        if (!report.fixes.empty()) {
            expected.push_back({""});
            expected.push_back({"To fix"});
            expected.push_back({kFixColumns.begin(), kFixColumns.end()});
            for (const vat::FixGroup& group : report.fixes) {
                const auto cells = FixCells(group);
                expected.emplace_back(cells.begin(), cells.end());
            }
        }
        QVERIFY(ParseCsv(text.substr(3)) == expected);
        QVERIFY(text.find("\"B No.17 of ACME, \"\"SONS\"\" & CO") != std::string::npos);
        QVERIFY(text.find(",12\r\n") != std::string::npos);
    }

    void xlsxHasNumbersAFrozenHeaderRowAndAnAutofilter() {
        const ErrorListReport report = Report();
        const QString file = folder_.filePath("errors.xlsx");
        ExportErrorList(report, file.toStdString());
        const QString sheet = Unzipped(file, "xl/worksheets/sheet1.xml");
        const QString strings = Unzipped(file, "xl/sharedStrings.xml");
        QVERIFY2(!sheet.isEmpty(), "unzip could not read the sheet");

        const int headerRow = static_cast<int>(report.heading.size()) + 2;  // 1-based
        const int lastRow = headerRow + static_cast<int>(report.rows.size());
        QVERIFY2(sheet.contains(QString("<pane ySplit=\"%1\" topLeftCell=\"A%2\" "
                                        "activePane=\"bottomLeft\" state=\"frozen\"/>")
                                    .arg(headerRow)
                                    .arg(headerRow + 1)),
                 qPrintable(sheet));
        QVERIFY(
            sheet.contains(QString("<autoFilter ref=\"A%1:E%2\"/>").arg(headerRow).arg(lastRow)));
        // Input Vat (+) is a heading line of its own; a number cell has no type attribute.
        const auto inputVat =
            std::ranges::find_if(report.heading,
                                 [](const auto& line) { return line.caption == "Input Vat (+)"; }) -
            report.heading.begin() + 1;
        QVERIFY2(sheet.contains(QRegularExpression(
                     QString("<c r=\"B%1\" s=\"\\d+\"><v>500</v></c>").arg(inputVat))),
                 qPrintable(sheet));
        QVERIFY(sheet.contains(QString("<c r=\"E%1\"><v>12</v></c>").arg(lastRow)));
        for (const char* text : {"shop2013", "APR 2013", "File", "INV/101, 2013-04-03",
                                 "B No.17 of ACME, \"SONS\" &amp; CO", "Reason: too short"})
            QVERIFY2(strings.contains(text), text);
    }

    void anUnknownExtensionIsRefused() {
        QVERIFY_THROWS_EXCEPTION(
            ExportError, ExportErrorList(Report(), folder_.filePath("errors.txt").toStdString()));
    }
};

QTEST_MAIN(ErrorListExportTest)
#include "error_list_export_test.moc"
