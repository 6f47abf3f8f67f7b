#include "app/window/year/year_view.h"

#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "app/shared/summary_captions.h"
#include "app/window/main_window.h"
#include "app/window/recording_presenter.h"
#include "app/window/scratch_settings.h"
#include "app/window/year/year_table.h"
#include "returns/filing/mark_filed.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "support/program_folder.h"
#include "support/server_psql.h"

namespace {

// Books meant for this test to run and change; see fixtures/ledgers/t_year_view.sql.
const char* const kDataFile = "t_year_view";
const char* const kChangeApril = "update daybok set amount = 450.00 where vno = 1 and recact = 20";
const char* const kRestoreApril = "update daybok set amount = 400.00 where vno = 1 and recact = 20";

constexpr int kApril = 0, kMay = 1, kJune = 2, kTotals = 12;

QStringList RowTexts(const QTableWidget& table, int row) {
    QStringList texts;
    for (int column = 0; column < table.columnCount(); ++column)
        texts.append(table.item(row, column) ? table.item(row, column)->text() : QString());
    return texts;
}

}  // namespace

// The Year view of a window started against the test server, driven by the controls' names.
class YearViewTest : public QObject {
    Q_OBJECT

private:
    template <typename Control>
    Control* Find(QWidget* parent, const char* name) {
        auto* control = parent->findChild<Control*>(name);
        if (!control) qFatal("There is no control named %s", name);
        return control;
    }

    // The view Year... opens over the window, its rows read once its buttons are enabled;
    // nullptr when none opened or its rows were never read.
    YearView* OpenYearView() {
        QTest::mouseClick(Find<QPushButton>(window_.get(), "btn_Year"), Qt::LeftButton);
        auto* view = window_->findChild<YearView*>();
        const bool read = view && QTest::qWaitFor([&] {
                              return Find<QPushButton>(view, "btn_RunYear")->isEnabled();
                          });
        return read ? view : nullptr;
    }

    void CloseYearView(YearView* view) {
        const QPointer<YearView> open(view);
        view->close();
        QTRY_VERIFY(open.isNull());
    }

    // Clicks one of the view's buttons and waits for the months it runs or checks.
    void RunAndWait(YearView* view, const char* button) {
        QTest::mouseClick(Find<QPushButton>(view, button), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(Find<QPushButton>(view, "btn_RunYear")->isEnabled(), 120000);
    }

    // The folder of the data file's financial year, which holds its month folders.
    std::filesystem::path yearFolder() const { return programFolder_ / kDataFile / "2016-17"; }

    QTableWidget* Table(YearView* view) { return Find<QTableWidget>(view, "tbl_Year"); }

    void ChooseMonth(int index) {
        Find<QComboBox>(window_.get(), "Combo1")->setCurrentIndex(index);
    }

    ScratchSettings settings_;
    vat::test::ProgramFolder programFolder_;
    std::unique_ptr<MainWindow> window_;
    RecordingPresenter* messages_ = nullptr;
    QStringList yearAfterRun_;

private slots:
    void initTestCase() {
        auto messages = std::make_unique<RecordingPresenter>();
        messages_ = messages.get();
        window_ = std::make_unique<MainWindow>(programFolder_.Path(), std::move(messages));
        QVERIFY(window_->loadDataFiles());
        auto* dataFiles = Find<QComboBox>(window_.get(), "Combo2");
        dataFiles->setCurrentIndex(dataFiles->findText(kDataFile));
        QVERIFY(window_->dataFileChoice().books);
        QCOMPARE(window_->dataFileChoice().books->dataFile, kDataFile);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void monthsWithoutFilesShowNotGenerated() {
        YearView* view = OpenYearView();
        QVERIFY(view);
        QTableWidget* table = Table(view);
        QCOMPARE(table->rowCount(), 13);
        QCOMPARE(table->item(kApril, MonthColumn)->text(), QString("APRIL"));
        QCOMPARE(table->item(11, MonthColumn)->text(), QString("MARCH"));
        for (int month = 0; month < 12; ++month)
            QCOMPARE(table->item(month, SchemaCheckColumn)->text(), QString("not generated"));
        QCOMPARE(table->item(kTotals, SchemaCheckColumn)->text(), QString("0 of 12 generated"));
        QVERIFY(Find<QChartView>(view, "chart_Year"));
        QVERIFY(!Find<QPushButton>(view, "btn_CancelYear")->isEnabled());
        CloseYearView(view);
    }

    // Each month is as a run of that month alone makes it, and no month asks the user anything.
    void runningTheYearFillsEveryMonth() {
        YearView* view = OpenYearView();
        QVERIFY(view);
        messages_->texts.clear();
        RunAndWait(view, "btn_RunYear");

        QCOMPARE(messages_->texts, QStringList());
        QTableWidget* table = Table(view);
        // The months after June have no vouchers, and so no files.
        for (int month = 0; month < 12; ++month)
            QCOMPARE(table->item(month, SchemaCheckColumn)->text(),
                     QString(month <= kJune ? "all valid" : "no files written"));
        QVERIFY(std::filesystem::exists(yearFolder() / "03/run.json"));
        QCOMPARE(Find<QLabel>(view, "lbl_YearProgress")->text(), QString());
        QVERIFY(!Find<QPushButton>(view, "btn_CancelYear")->isEnabled());

        vat::LedgerConnection ledger;
        const vat::DataFileChoice books = vat::SelectDataFile(ledger, kDataFile);
        const vat::test::ProgramFolder alone;
        const vat::RunResult april = vat::GenerationRun(ledger, {.books = books.books,
                                                                 .dataFile = kDataFile,
                                                                 .monthNumber = 4,
                                                                 .folders = alone.Path()});
        QVERIFY(april.Completed());
        // April has no purchase returns or credit notes: its net figures are the (+) ones.
        const vat::SummaryCaptions captions = vat::CaptionsOf(april.figures);
        const auto caption = [&](const char* label) {
            return QString::fromStdString(vat::CaptionOf(captions, label));
        };
        QCOMPARE(table->item(kApril, InputVatColumn)->text(), caption("lbl_InputVAT_Plus"));
        QCOMPARE(table->item(kApril, OutputVatColumn)->text(), caption("lbl_OutputVAT_Plus"));
        QCOMPARE(caption("lbl_TaxPayableRefundable"), QString("VAT Payable"));
        QCOMPARE(table->item(kApril, VatColumn)->text(), caption("lbl_TaxAmt") + " P");
        QCOMPARE(table->item(kApril, CstSalesColumn)->text(), caption("lbl_CST_Sales"));
        long long written = 0;
        for (const vat::FileAccount& account : april.accounts) written += account.written;
        QCOMPARE(table->item(kApril, WrittenColumn)->text(), QString::number(written));

        QCOMPARE(RowTexts(*table, kApril).mid(InputVatColumn, 3),
                 (QStringList{"400.00", "700.00", "300.00 P"}));
        QCOMPARE(table->item(kMay, VatColumn)->text(), QString("350.00 R"));
        QCOMPARE(table->item(kJune, CstSalesColumn)->text(), QString("120.00"));
        QCOMPARE(RowTexts(*table, kTotals).mid(InputVatColumn, 5),
                 (QStringList{"1,000.00", "950.00", "50.00 R", "0.00", "120.00"}));
        QCOMPARE(table->item(kTotals, SchemaCheckColumn)->text(), QString("12 of 12 generated"));
        for (int row = 0; row <= kTotals; ++row) yearAfterRun_ += RowTexts(*table, row);
        // Kept beside the test for a look at the view.
        QVERIFY(view->grab().save(WINDOW_TEST_OUTPUT_DIR "/year_view.png"));
        CloseYearView(view);
    }

    // After runningTheYearFillsEveryMonth: the year shows again from its run records alone, and
    // a month whose record is gone is run by itself.
    void theYearReadsItsRunRecordsAndRunsWhatIsMissing() {
        YearView* view = OpenYearView();
        QVERIFY(view);
        QStringList shown;
        for (int row = 0; row <= kTotals; ++row) shown += RowTexts(*Table(view), row);
        QCOMPARE(shown, yearAfterRun_);
        CloseYearView(view);

        const std::string aprilRecord = vat::test::ReadBytes(yearFolder() / "04/run.json");
        QVERIFY(std::filesystem::remove(yearFolder() / "05/run.json"));
        view = OpenYearView();
        QVERIFY(view);
        QCOMPARE(Table(view)->item(kMay, SchemaCheckColumn)->text(), QString("not generated"));
        RunAndWait(view, "btn_RunMissing");
        QCOMPARE(Table(view)->item(kMay, VatColumn)->text(), QString("350.00 R"));
        QVERIFY(std::filesystem::exists(yearFolder() / "05/run.json"));
        QCOMPARE(vat::test::ReadBytes(yearFolder() / "04/run.json"), aprilRecord);
        CloseYearView(view);
    }

    // Cancelled while April waits on another session's lock, the year stops in April, whose
    // earlier files stay, and leaves the other months as they were.
    void cancelStopsTheYearWhereItIs() {
        YearView* view = OpenYearView();
        QVERIFY(view);
        const std::string aprilRecord = vat::test::ReadBytes(yearFolder() / "04/run.json");
        auto* cancel = Find<QPushButton>(view, "btn_CancelYear");
        {
            const vat::test::TableLock lock(kDataFile, "bills");
            QTest::mouseClick(Find<QPushButton>(view, "btn_RunYear"), Qt::LeftButton);
            QVERIFY(cancel->isEnabled());
            QTest::qWait(1000);
            QTest::mouseClick(cancel, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!cancel->isEnabled(), 2000);
        }
        QTableWidget* table = Table(view);
        QCOMPARE(table->item(kApril, SchemaCheckColumn)->text(), QString("cancelled"));
        QCOMPARE(RowTexts(*table, kMay), yearAfterRun_.mid(YearColumnCount, YearColumnCount));
        QCOMPARE(vat::test::ReadBytes(yearFolder() / "04/run.json"), aprilRecord);
        CloseYearView(view);
    }

    // Closing the view while April waits on another session's lock asks first; a yes cancels
    // the run and closes the view, April's files as they were.
    void closingDuringARunAsksThenCancels() {
        YearView* view = OpenYearView();
        QVERIFY(view);
        const QPointer<YearView> open(view);
        const std::string aprilRecord = vat::test::ReadBytes(yearFolder() / "04/run.json");
        const vat::test::TableLock lock(kDataFile, "bills");
        QTest::mouseClick(Find<QPushButton>(view, "btn_RunYear"), Qt::LeftButton);
        QTest::qWait(500);
        messages_->questions.clear();
        messages_->answer = false;
        view->close();
        QCOMPARE(messages_->questions, QStringList{"Cancel the run and close?"});
        QVERIFY(open && view->isVisible());

        messages_->answer = true;
        QElapsedTimer closing;
        closing.start();
        view->close();
        QTRY_VERIFY_WITH_TIMEOUT(open.isNull(), 2000);
        QVERIFY2(closing.elapsed() < 2000, qPrintable(QString::number(closing.elapsed())));
        messages_->answer = false;
        QCOMPARE(vat::test::ReadBytes(yearFolder() / "04/run.json"), aprilRecord);
    }

    void checkBooksMarksTheMonthWhoseVoucherChanged() {
        vat::test::Psql(kDataFile, kChangeApril);
        QCOMPARE(
            vat::test::Psql(kDataFile, "select amount from daybok where vno = 1 and recact = 20"),
            std::string("450.00\n"));
        YearView* view = OpenYearView();
        QVERIFY(view);
        RunAndWait(view, "btn_CheckBooks");

        QTableWidget* table = Table(view);
        QTableWidgetItem* april = table->item(kApril, BooksColumn);
        QVERIFY2(april->text().startsWith("changed since "), qPrintable(april->text()));
        QVERIFY2(april->toolTip().contains("input VAT +50.00"), qPrintable(april->toolTip()));
        QVERIFY(april->background() != table->item(kMay, BooksColumn)->background());
        for (int month = kMay; month < 12; ++month)
            QCOMPARE(table->item(month, BooksColumn)->text(), QString("unchanged"));
        QCOMPARE(table->item(kTotals, BooksColumn)->text(), QString("1 changed"));
        QCOMPARE(messages_->texts, QStringList());
        CloseYearView(view);
    }

    // Choosing the month warns of it; the window shows the month's figures and files as its run
    // record keeps them, written before the change, and says so.
    void choosingAChangedMonthShowsTheWarning() {
        auto* warning = Find<QLabel>(window_.get(), "lbl_BooksChanged");
        ChooseMonth(kMay);
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 30000);
        QVERIFY(warning->isHidden());

        ChooseMonth(kApril);
        QCOMPARE(warning->text(), QString("Checking the books of April\u2026"));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 30000);
        QVERIFY(warning->isVisible());
        QVERIFY2(QRegularExpression("^April's files were written on \\d\\d/\\d\\d/\\d{4}; since "
                                    "then 1 voucher changed: input VAT \\+50\\.00")
                     .match(warning->text())
                     .hasMatch(),
                 qPrintable(warning->text()));
        // Wrapped in a window with the room, the warning shows whole; the figures make way.
        const QSize least = window_->size();
        window_->resize(1366, 740);
        QTRY_COMPARE(window_->size(), QSize(1366, 740));
        QVERIFY(warning->height() >= warning->heightForWidth(warning->width()));
        QVERIFY(Find<QWidget>(window_.get(), "Label7")->y() >= warning->geometry().bottom());
        window_->resize(least);
        QTRY_COMPARE(window_->size(), least);
        QCOMPARE(Find<QLabel>(window_.get(), "lbl_InputVAT_Plus")->text(), QString("400.00"));
        QCOMPARE(Find<QLabel>(window_.get(), "lbl_TaxAmt")->text(), QString("300.00"));
        QCOMPARE(Find<QTableWidget>(window_.get(), "tbl_RunAccounts")->rowCount(), 6);
        const QString status = Find<QLabel>(window_.get(), "runStatusText")->text();
        QVERIFY2(QRegularExpression("^From the run record of \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d; "
                                    "generate to see the error list$")
                     .match(status)
                     .hasMatch(),
                 qPrintable(status));
        QVERIFY(!window_->shownRun().Completed());
        QCOMPARE(messages_->texts, QStringList());

        ChooseMonth(kMay);
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 30000);
        QVERIFY(warning->isHidden());
    }

    // After choosingAChangedMonthShowsTheWarning: April, marked filed before its voucher's
    // change, shows its filing, and once run again that it was revised since.
    void aFiledMonthShowsItsFilingAndThatItWasRevised() {
        const vat::SelectedBooks& books = *window_->dataFileChoice().books;
        const vat::FiledSet set =
            vat::MarkFiled(programFolder_.Path(), books, 4, {"ACK-Y", {2016, 5, 20}},
                           std::chrono::system_clock::now());
        QCOMPARE(set.folder, yearFolder() / "filed/04/filing-1");
        const QString filing = "filed on 20/05/2016 (acknowledgement ACK-Y)";
        YearView* view = OpenYearView();
        QVERIFY(view);
        QCOMPARE(Table(view)->item(kApril, FiledColumn)->text(), filing);
        QCOMPARE(Table(view)->item(kMay, FiledColumn)->text(), QString());
        QCOMPARE(Table(view)->item(kTotals, FiledColumn)->text(), QString("1 filed"));
        RunAndWait(view, "btn_RunYear");
        QCOMPARE(Table(view)->item(kApril, FiledColumn)->text(), filing + ", revised since filing");
        CloseYearView(view);
    }

    void cleanupTestCase() { vat::test::Psql(kDataFile, kRestoreApril); }
};

QTEST_MAIN(YearViewTest)
#include "year_view_test.moc"
