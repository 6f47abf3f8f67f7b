#include "app/window/main_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "app/shared/summary_captions.h"
#include "app/window/background_job.h"
#include "app/window/elided_path.h"
#include "app/window/error_grid.h"
#include "app/window/recording_presenter.h"
#include "app/window/scratch_settings.h"
#include "app/window/voucher_dialog.h"
#include "returns/record/run_record.h"
#include "returns/results/number_forms.h"
#include "returns/results/run_outcome_text.h"
#include "returns/results/summary_figures.h"
#include "support/server_psql.h"

namespace {

constexpr int kDesignedWidthTwips = 8790;
constexpr int kDesignedHeightTwips = 12435;
// The error list and the run's files share tabs, short enough for a 1366x768 screen.
constexpr int kLeastHeightTwips = 10395;

int Pixels(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

QString Cell(const ErrorGrid& grid, int row, int column) {
    return grid.model()->index(row, column).data().toString();
}

// A run that shows these rows, as the window shows a run's.
vat::RunResult RunWithRows(std::vector<vat::ErrorRow> rows) {
    vat::RunResult run;
    run.rows = std::move(rows);
    return run;
}

// What a run's accounts say wherever its files went.
std::vector<vat::FileAccount> WithoutPaths(std::vector<vat::FileAccount> accounts) {
    for (vat::FileAccount& account : accounts) account.path.reset();
    return accounts;
}

}  // namespace

// The window after a real start-up against the test server, driven by its controls' names.
class MainWindowTest : public QObject {
    Q_OBJECT

private:
    template <typename Control>
    Control* Find(const char* name) {
        auto* control = window_->findChild<Control*>(name);
        if (!control) qFatal("The window has no control named %s", name);
        return control;
    }

    void SelectDataFile(const QString& name) {
        auto* combo = Find<QComboBox>("Combo2");
        const int index = combo->findText(name);
        QVERIFY2(index >= 0, qPrintable(name + " is not in the data-file list"));
        combo->setCurrentIndex(index);
    }

    // Clicks Generate Files and waits for the run to end, as a user watching the window would.
    void Generate() {
        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 120000);
    }

    // The month folder's files and their bytes.
    QStringList MonthContents(const QString& monthTag) {
        QStringList files;
        const QDir month(programFolder_.filePath(monthTag));
        for (const QFileInfo& file : month.entryInfoList(QDir::Files, QDir::Name)) {
            QFile bytes(file.filePath());
            files << file.fileName() + ":" +
                         (bytes.open(QIODevice::ReadOnly) ? bytes.readAll() : "unreadable");
        }
        return files;
    }

    ScratchSettings settings_;
    QTemporaryDir programFolder_;
    std::unique_ptr<MainWindow> window_;
    RecordingPresenter* messages_ = nullptr;

private slots:
    void initTestCase() {
        auto messages = std::make_unique<RecordingPresenter>();
        messages_ = messages.get();
        // The month folders straight in the program folder: the window's own layout setting.
        const std::filesystem::path folder = programFolder_.path().toStdString();
        window_ = std::make_unique<MainWindow>(
            vat::ReturnFolders(folder, folder / "XSD", vat::MonthFolderLayout::Flat),
            std::move(messages));
        QVERIFY(window_->loadDataFiles());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void init() { messages_->texts.clear(); }

    void monthListInFinancialYearOrder() {
        auto* months = Find<QComboBox>("Combo1");
        const QStringList names{"APR", "MAY", "JUN", "JUL", "AUG", "SEP",
                                "OCT", "NOV", "DEC", "JAN", "FEB", "MAR"};
        const QList<int> numbers{4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3};
        QCOMPARE(months->count(), 12);
        for (int index = 0; index < months->count(); ++index) {
            QCOMPARE(months->itemText(index), names[index]);
            QCOMPARE(months->itemData(index).toInt(), numbers[index]);
        }
        QCOMPARE(months->currentText(), QString("APR"));
    }

    void startUpListsDataFilesAndSelectsTheFirst() {
        auto* dataFiles = Find<QComboBox>("Combo2");
        QStringList listed;
        for (int index = 0; index < dataFiles->count(); ++index)
            listed.append(dataFiles->itemText(index));
        QVERIFY(listed.indexOf("shop2013") >= 0);
        QVERIFY(listed.indexOf("shop2013") < listed.indexOf("shop2014"));
        for (const QString& name : listed)
            QVERIFY2(name != "edb" && name != "mgmtsvr" && !name.contains("template"),
                     qPrintable(name));

        QCOMPARE(dataFiles->currentIndex(), 0);
        const std::optional<vat::SelectedBooks>& books = window_->dataFileChoice().books;
        QVERIFY(books && books->yearEnd);
        QCOMPARE(QString::fromStdString(books->dataFile), listed.first());
        QCOMPARE(Find<QLineEdit>("Text1")->text(),
                 QString::fromStdString(books->yearStart.DisplayText()));
        QCOMPARE(Find<QLineEdit>("Text2")->text(),
                 QString::fromStdString(books->yearEnd->DisplayText()));
    }

    void selectedDataFileShowsItsYear_data() {
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("yearStart");
        QTest::addColumn<QString>("yearEnd");
        QTest::newRow("shop2014") << "shop2014"
                                  << "01/04/2014"
                                  << "31/03/2015";
        QTest::newRow("shop2013") << "shop2013"
                                  << "01/04/2013"
                                  << "31/03/2014";
    }

    void selectedDataFileShowsItsYear() {
        QFETCH(QString, dataFile);
        QFETCH(QString, yearStart);
        QFETCH(QString, yearEnd);
        SelectDataFile(dataFile);
        QCOMPARE(Find<QLineEdit>("Text1")->text(), yearStart);
        QCOMPARE(Find<QLineEdit>("Text2")->text(), yearEnd);
    }

    void badTinIsFlaggedUntilAGoodOneIsSelected() {
        const vat::DataFileChoice& choice = window_->dataFileChoice();
        SelectDataFile("shop2013");
        SelectDataFile("shop2014");
        QCOMPARE(messages_->texts, QStringList{"YOUR TIN FOUND TO BE INCORRECT. CHECK THE SAME"});
        QVERIFY(choice.books && !choice.books->TinValid());

        SelectDataFile("shop2013");
        QCOMPARE(messages_->texts.size(), 1);
        QVERIFY(choice.books && choice.books->TinValid());
        QCOMPARE(choice.books->dealerTin, "29111111111");
    }

    void errorListStartsWithItsHeadingOnly() {
        auto* grid = Find<ErrorGrid>("grd_Errors");
        QCOMPARE(grid->rowCount(), 0);
        QStringList titles;
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            titles.append(grid->model()->headerData(column, Qt::Horizontal).toString());
        QCOMPARE(titles, (QStringList{"Type", "Document", "Error", "File:Line"}));
        QVERIFY(grid->horizontalHeader()->isVisible());

        // Nothing to report before a run: Export and Print say so and write nothing.
        for (const char* button : {"btn_Export", "btn_Print"}) {
            messages_->texts.clear();
            QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
            QCOMPARE(messages_->texts,
                     QStringList{"There is no run to report: generate the month's files first."});
        }
    }

    void generateIsRefusedWhileTheTinIsBad() {
        SelectDataFile("shop2014");
        messages_->texts.clear();
        Generate();
        QCOMPARE(messages_->texts, QStringList{"INCORRECT TIN CAN NOT PROCEED"});
        QVERIFY(QDir(programFolder_.path()).isEmpty());
        QVERIFY(Find<QPushButton>("Command1")->isEnabled());
        QVERIFY(Find<QComboBox>("Combo2")->isEnabled());
    }

    void generateWithoutMonthMovesFocusToTheMonthList() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto* months = Find<QComboBox>("Combo1");
        months->setCurrentIndex(-1);
        Generate();
        QVERIFY(months->hasFocus());
        QVERIFY(messages_->texts.isEmpty());
        months->setCurrentIndex(0);
    }

    void generateWritesTheMonthsFilesAndSaysOver() {
        QVERIFY(QDir().mkpath(programFolder_.filePath("XSD")));
        for (const QString& schema : QDir(VAT_SCHEMA_DIR).entryList({"*.xsd"}))
            QVERIFY(QFile::copy(QString(VAT_SCHEMA_DIR "/") + schema,
                                programFolder_.filePath("XSD/" + schema)));
        SelectDataFile("shop2013");
        messages_->texts.clear();

        Generate();

        QVERIFY(!messages_->texts.isEmpty());
        QCOMPARE(messages_->texts.last(), QString("OVER"));
        const vat::RunResult& run = window_->shownRun();
        QStringList written;
        for (const std::string& file : run.FilesWritten())
            written.append(QFileInfo(QString::fromStdString(file)).fileName());
        written.sort();
        QVERIFY(!written.isEmpty());
        QCOMPARE(QDir(programFolder_.filePath("04")).entryList({"*.xml"}, QDir::Files, QDir::Name),
                 written);
        const QString verdict = Find<QLabel>("lbl_TaxPayableRefundable")->text();
        QVERIFY2(verdict == "VAT Payable" || verdict == "VAT Refundable", qPrintable(verdict));
        QCOMPARE(Find<QLabel>("lbl_TaxAmt")->text(),
                 QString::fromStdString(vat::GroupedDigits(
                     vat::CaptionOf(vat::CaptionsOf(run.figures), "lbl_TaxAmt"))));
        QCOMPARE(Find<ErrorGrid>("grd_Errors")->rowCount(), static_cast<int>(run.rows.size()));
        QVERIFY(Find<QPushButton>("Command1")->isEnabled());
        QCOMPARE(Find<QLabel>("runStatusText")->text(),
                 QString::fromStdString(vat::RunOutcomeText(run.accounts, run.checkedOnly)));
        QCOMPARE(Find<QTableWidget>("tbl_RunAccounts")->rowCount(),
                 static_cast<int>(run.accounts.size()));
        QCOMPARE(Find<ElidedPath>("txt_Folder")->path(), programFolder_.filePath("04"));
        // The focus is where the user left it, on Generate Files, and no text is selected.
        QCOMPARE(window_->focusWidget(), Find<QWidget>("Command1"));
        for (const QLineEdit* field : window_->findChildren<QLineEdit*>())
            QVERIFY2(!field->hasSelectedText(), qPrintable(field->objectName()));
    }

    // After generateWritesTheMonthsFilesAndSaysOver: a run held up by another session's lock on
    // the bills stops within two seconds of Cancel, the window answering all along; the month's
    // files stay, and the window shows the run it showed before.
    void cancelStopsARunWaitingOnALock() {
        const QStringList before = MonthContents("04");
        QVERIFY(!before.isEmpty());
        const vat::RunResult shownBefore = window_->shownRun();
        const QString taxBefore = Find<QLabel>("lbl_TaxAmt")->text();
        auto* cancel = Find<QPushButton>("btn_Cancel");
        QVERIFY(!cancel->isVisible());
        const vat::test::TableLock lock("shop2013", "bills");
        messages_->texts.clear();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);

        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(cancel->isVisible() && cancel->isEnabled());
        QVERIFY(!Find<QPushButton>("Command1")->isEnabled());
        QTest::qWait(2000);  // the run reaches the locked table and waits there
        QVERIFY(window_->busy());
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        QElapsedTimer sinceCancel;
        sinceCancel.start();
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 10000);
        QVERIFY2(sinceCancel.elapsed() < 2000, qPrintable(QString::number(sinceCancel.elapsed())));

        QCOMPARE(messages_->texts,
                 QStringList{"The run was cancelled; the month's earlier files were kept."});
        QCOMPARE(MonthContents("04"), before);
        QVERIFY(window_->shownRun().rows == shownBefore.rows);
        QCOMPARE(Find<QLabel>("lbl_TaxAmt")->text(), taxBefore);
        QCOMPARE(Find<QTableWidget>("tbl_RunAccounts")->rowCount(), 6);
        const QString status = Find<QLabel>("runStatusText")->text();
        QVERIFY2(status.startsWith("The run was cancelled; shown: the run of APR 2013 completed "),
                 qPrintable(status));
        QVERIFY(!cancel->isVisible());
        QVERIFY(Find<QPushButton>("Command1")->isEnabled());
    }

    // After generateWritesTheMonthsFilesAndSaysOver: April's run of shop2013 is shown. Another
    // month of the same data file shows none of it; April again shows its run record.
    void anotherMonthOfTheSameDataFileShowsNoneOfTheRun() {
        QVERIFY(window_->shownRun().books);
        QCOMPARE(window_->shownRun().monthNumber, 4);
        const QString aprilTax = Find<QLabel>("lbl_TaxAmt")->text();
        auto* months = Find<QComboBox>("Combo1");

        months->setCurrentIndex(1);  // MAY, never generated
        QVERIFY(!window_->shownRun().books);
        QCOMPARE(Find<QLabel>("lbl_TaxAmt")->text(),
                 QString::fromStdString(
                     vat::CaptionOf(vat::CaptionsOf(vat::ReturnFigures{}), "lbl_TaxAmt")));
        QCOMPARE(Find<ErrorGrid>("grd_Errors")->rowCount(), 0);
        QCOMPARE(Find<QTableWidget>("tbl_RunAccounts")->rowCount(), 0);

        months->setCurrentIndex(0);
        QVERIFY(!window_->shownRun().books);
        QCOMPARE(Find<QLabel>("lbl_TaxAmt")->text(), aprilTax);
        QCOMPARE(Find<QTableWidget>("tbl_RunAccounts")->rowCount(), 6);
        QVERIFY(Find<QLabel>("runStatusText")->text().startsWith("From the run record of "));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 60000);
    }

    // After generateWritesTheMonthsFilesAndSaysOver: April of shop2013 has files to check.
    // Months chosen back and forth drop the check going on; the next starts only when its
    // thread has ended.
    void choosingMonthsQuicklyChecksOneAtATime() {
        auto* job = window_->findChild<BackgroundJob*>("monthJob");
        QTRY_VERIFY(!window_->busy());
        int going = 0, most = 0, started = 0;
        const auto start = connect(job, &BackgroundJob::jobStarted, [&] {
            most = std::max(most, ++going);
            ++started;
        });
        const auto end = connect(job, &BackgroundJob::jobEnded, [&] { --going; });
        auto* months = Find<QComboBox>("Combo1");
        // Quicker than a check can stop: each choice comes before the last check has ended.
        for (const int index : {1, 0, 1, 0, 1, 0}) months->setCurrentIndex(index);
        QCOMPARE(Find<QLabel>("lbl_BooksChanged")->text(),
                 QString("Checking the books of April\u2026"));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 60000);
        disconnect(start);
        disconnect(end);
        QCOMPARE(most, 1);
        QVERIFY2(started >= 2, qPrintable(QString::number(started)));
        QVERIFY(Find<QLabel>("lbl_BooksChanged")->isHidden());
    }

    // Each run shows exactly its own figures, rows and six file accounts, as a run of its month
    // alone gives them, and leaves them in its run record; another data file's run in a month
    // folder of the first replaces its record whole.
    void eachRunShowsAndRecordsOnlyItsOwnMonth() {
        struct Run {
            const char* dataFile;
            int monthIndex;
        };
        vat::LedgerConnection alone;
        messages_->answer = true;
        for (const Run& run :
             {Run{"t_local_sales", 1}, Run{"t_local_sales", 2}, Run{"shop2013", 2}}) {
            SelectDataFile(run.dataFile);
            Find<QComboBox>("Combo1")->setCurrentIndex(run.monthIndex);
            messages_->texts.clear();
            Generate();
            QCOMPARE(messages_->texts.last(), QString("OVER"));

            const vat::RunResult& shown = window_->shownRun();
            const int month = Find<QComboBox>("Combo1")->currentData().toInt();
            const vat::DataFileChoice books = vat::SelectDataFile(alone, run.dataFile);
            const QTemporaryDir aloneFolder;
            const vat::RunResult lone = vat::GenerationRun(
                alone, {.books = books.books,
                        .dataFile = run.dataFile,
                        .monthNumber = month,
                        .folders = {aloneFolder.path().toStdString(), VAT_SCHEMA_DIR}});
            QVERIFY(lone.Completed());
            QCOMPARE(shown.monthNumber, month);
            for (const auto& [label, caption] : vat::CaptionsOf(lone.figures))
                QCOMPARE(Find<QLabel>(label.c_str())->text(),
                         QString::fromStdString(vat::GroupedDigits(caption)));
            QVERIFY(shown.rows == lone.rows);
            QCOMPARE(Find<ErrorGrid>("grd_Errors")->rowCount(), static_cast<int>(lone.rows.size()));
            QCOMPARE(lone.accounts.size(), std::size_t{6});
            QVERIFY(WithoutPaths(shown.accounts) == WithoutPaths(lone.accounts));
            auto* accounts = Find<QTableWidget>("tbl_RunAccounts");
            QCOMPARE(accounts->rowCount(), 6);
            for (int row = 0; row < 6; ++row)
                QCOMPARE(accounts->item(row, 0)->text(),
                         QString::fromStdString(lone.accounts[static_cast<std::size_t>(row)].file));

            const std::optional<vat::RunRecord> record = vat::ReadRunRecord(shown.monthFolder);
            QVERIFY(record);
            QCOMPARE(record->dataFile, std::string(run.dataFile));
            QCOMPARE(record->month, month);
            QVERIFY(record->figures == vat::ShownFigures(lone.figures));
            QCOMPARE(record->accounts.size(), std::size_t{6});
            QVERIFY(WithoutPaths(record->accounts) == WithoutPaths(lone.accounts));
        }

        // A run of another data file that does not complete leaves none of the last one's
        // figures, rows or accounts to pass for its own.
        SelectDataFile("shop2014");
        Generate();
        QCOMPARE(messages_->texts.last(), QString("INCORRECT TIN CAN NOT PROCEED"));
        messages_->answer = false;
        QVERIFY(!window_->shownRun().books);
        QCOMPARE(Find<QLabel>("lbl_OutputVAT_Plus")->text(),
                 QString::fromStdString(
                     vat::CaptionOf(vat::CaptionsOf(vat::ReturnFigures{}), "lbl_OutputVAT_Plus")));
        QCOMPARE(Find<ErrorGrid>("grd_Errors")->rowCount(), 0);
        QCOMPARE(Find<QTableWidget>("tbl_RunAccounts")->rowCount(), 0);
        Find<QComboBox>("Combo1")->setCurrentIndex(0);
    }

    // However long its text, a row is one line high; its tooltip and the pane beside the list
    // hold the whole of it.
    void errorRowsAreOneLineWithTheWholeTextAtHand() {
        const std::string longMessage =
            "Element 'SellerName': [facet 'maxLength'] The value 'A VERY LONG SUPPLIER NAME "
            "WITH ITS CITY' has a length of 41; this exceeds the allowed maximum length of 30, "
            "so the local purchase file cannot be uploaded as it is\r\nReason :x/y";
        window_->showRun(RunWithRows(
            {{"Local Purchase", "Short"},
             {"Local Purchase", longMessage, "B No.7", "/p/04/efile_pur04.xml", 12, 7}}));
        auto* grid = Find<ErrorGrid>("grd_Errors");
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->rowHeight(1), grid->rowHeight(0));
        QVERIFY(grid->rowHeight(1) < 2 * grid->fontMetrics().lineSpacing());
        const QModelIndex error = grid->model()->index(1, 2);
        QCOMPARE(error.data(Qt::ToolTipRole).toString(), QString::fromStdString(longMessage));
        QVERIFY(error.data().toString().endsWith("it is Reason :x/y"));

        auto* detail = Find<QPlainTextEdit>("txt_ErrorDetail");
        grid->setCurrentIndex(error);
        for (const char* part :
             {"Type: Local Purchase", "Document: B No.7",
              "so the local purchase file cannot be uploaded as it is", "Reason :x/y",
              "File:Line: /p/04/efile_pur04.xml:12", "Voucher: 7"})
            QVERIFY2(detail->toPlainText().contains(part), qPrintable(detail->toPlainText()));
        QVERIFY(detail->isReadOnly());

        window_->showRun({});
        QCOMPARE(grid->rowCount(), 0);
        QCOMPARE(detail->toPlainText(), QString());
    }

    // The grid on its own, with rows as the core gives them: with their files and lines.
    void rowsSortByAColumnAndFilterByTypeOrFile() {
        ErrorGrid grid(nullptr);
        grid.resize(600, 300);
        grid.showRows({{"Sales Within State", "Inv No.C9 omitted"},
                       {"Purchase Within State", "<A> (30)", "A1", "/p/04/efile_pur04.xml", 30},
                       {"Purchase Within State", "<B> (4)", "A2", "/p/04/efile_pur04.xml", 4},
                       {"Sales Within State", "<C> (7)", "C3", "/p/04/efile_sal04.xml", 7}});
        const auto column = [&](int number) {
            QStringList cells;
            for (int row = 0; row < grid.visibleRowCount(); ++row)
                cells.append(Cell(grid, row, number));
            return cells;
        };
        QCOMPARE(grid.files(), (QStringList{"", "efile_pur04.xml", "efile_sal04.xml"}));
        QCOMPARE(column(3),
                 (QStringList{"", "efile_pur04.xml:30", "efile_pur04.xml:4", "efile_sal04.xml:7"}));

        grid.sortByColumn(3, Qt::AscendingOrder);
        QCOMPARE(column(3),
                 (QStringList{"", "efile_pur04.xml:4", "efile_pur04.xml:30", "efile_sal04.xml:7"}));
        grid.sortByColumn(1, Qt::DescendingOrder);
        QCOMPARE(column(1), (QStringList{"C3", "A2", "A1", ""}));

        grid.filterByFile("efile_pur04.xml");
        QCOMPARE(column(2), (QStringList{"<B> (4)", "<A> (30)"}));
        grid.filterByFile(std::nullopt);
        grid.filterByType("Sales Within State");
        QCOMPARE(column(2), (QStringList{"<C> (7)", "Inv No.C9 omitted"}));
        QCOMPARE(grid.errorRowAt(1).error, "Inv No.C9 omitted");
    }

    // The window offers each Type and file of its rows in its filters.
    void filterListsFollowTheRows() {
        auto* types = Find<QComboBox>("cmb_TypeFilter");
        auto* files = Find<QComboBox>("cmb_FileFilter");
        auto* grid = Find<ErrorGrid>("grd_Errors");
        window_->showRun(RunWithRows({{"Sales Within State", "Inv No.C9 omitted"},
                                      {"Purchase Within State", "B No.7 omitted"},
                                      {"Sales Within State", "Inv No.C11 omitted"}}));
        QCOMPARE(types->count(), 3);
        QCOMPARE(files->itemText(1), QString("(no file)"));

        types->setCurrentIndex(types->findText("Sales Within State"));
        QCOMPARE(grid->visibleRowCount(), 2);
        window_->showRun({});
        QCOMPARE(types->count(), 1);
        QCOMPARE(types->currentText(), QString("All types"));
        window_->showRun(RunWithRows({{"Purchase Within State", "B No.7 omitted"}}));
        QCOMPARE(grid->visibleRowCount(), 1);
        window_->showRun({});
    }

    void captionsReachTheirLabels() {
        vat::RunResult run;
        run.figures.inputVatPlus = 5000000;  // ten-thousandths
        run.figures.secondary.outputNet = 30000;
        run.figures.secondary.inputNet = 45000;
        run.figures.outputVatPlus = 12400000000;
        window_->showRun(run);
        QCOMPARE(Find<QLabel>("lbl_InputVAT_Plus")->text(), QString("500.00"));
        QCOMPARE(Find<QLabel>("lbl_OutputVAT_Plus")->text(), QString("12,40,000.00"));
        QCOMPARE(Find<QLabel>("lbl_pay")->text(), QString("-150.00"));
    }

    // Keeps window.png beside the test for a look at the layout.
    void windowRendersAtItsDesignedSize() {
        window_->showRun(RunWithRows(
            {{"Local Purchase", "Bill 12 of RAMA MEDICALS BANGALORE omitted: basic amount below 1"},
             {"Local Purchase",
              "Element 'SellerName': [facet 'maxLength'] The value has a "
              "length of 41; this exceeds the allowed maximum length of 30."}}));
        SelectDataFile("shop2013");
        const QImage image = window_->grab().toImage();
        window_->showRun({});
        QVERIFY(image.save(WINDOW_TEST_OUTPUT_DIR "/window.png"));
        const QSize designed(Pixels(kDesignedWidthTwips, window_->logicalDpiX()),
                             Pixels(kDesignedHeightTwips, window_->logicalDpiY()));
        QCOMPARE(image.size() / image.devicePixelRatio(),
                 QSize(designed.width(), Pixels(kLeastHeightTwips, window_->logicalDpiY())));
        QCOMPARE(window_->minimumSize(), image.size() / image.devicePixelRatio());
        QVERIFY2(window_->minimumHeight() <= 700,
                 qPrintable(QString::number(window_->minimumHeight())));
        QVERIFY(Find<QWidget>("btn_Print")->geometry().bottom() < designed.height());

        const auto backgroundOf = [&](const char* name) {
            const QRect place = Find<QWidget>(name)->geometry();
            return image.pixelColor(place.topLeft() + QPoint(1, 1));
        };
        QCOMPARE(image.pixelColor(1, 1), QColor(255, 224, 192));
        QCOMPARE(backgroundOf("Label7"), QColor(255, 192, 192));
        QCOMPARE(backgroundOf("lbl_TaxAmt"), QColor(0, 64, 0));
        QCOMPARE(backgroundOf("Label17"), window_->palette().color(QPalette::Base));
        for (const char* hidden : {"Label1", "lbl_in_p", "lbl_out_net", "lbl_pay"})
            QVERIFY2(Find<QWidget>(hidden)->x() >= designed.width() &&
                         !Find<QWidget>(hidden)->isVisible(),
                     hidden);
    }

    // Growing the window gives the list the room; the designed controls keep their places,
    // what lies below the list moves down, and at the least size everything is back.
    void aLargerWindowGivesItsRoomToTheList() {
        QMap<QString, QRect> before;
        for (QWidget* control : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            before[control->objectName()] = control->geometry();
        const QSize least = window_->size(), growth(200, 150);
        window_->resize(least + growth);
        QTRY_COMPARE(window_->size(), least + growth);

        const auto moved = [&](const char* name) {
            return Find<QWidget>(name)->geometry().translated(-growth.width(), -growth.height());
        };
        QCOMPARE(Find<QWidget>("tab_Results")->geometry(),
                 before["tab_Results"].adjusted(0, 0, growth.width(), growth.height()));
        QCOMPARE(moved("btn_Print"), before["btn_Print"]);
        QCOMPARE(moved("btn_Export"), before["btn_Export"]);
        for (const char* designed : {"Combo2", "Command1", "Label7", "lbl_TaxAmt",
                                     "lbl_Sal_URD_VAT_Amt", "Label18", "Label19", "lbl_pay"})
            QCOMPARE(Find<QWidget>(designed)->geometry(), before[designed]);
        QVERIFY(!Find<QWidget>("lbl_pay")->isVisible());  // however wide the window

        window_->resize(least);
        QTRY_COMPARE(window_->size(), least);
        for (QWidget* control : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QCOMPARE(control->geometry(), before[control->objectName()]);
    }

    // Wide enough for both, the results leave the room under the figures and take the window's
    // right side from its top to its bottom; the figures keep their places. A maximised window
    // on a 1366x768 screen is wide enough.
    void aWideWindowPutsTheResultsBesideTheFigures() {
        QMap<QString, QRect> before;
        for (QWidget* control : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            before[control->objectName()] = control->geometry();
        const QSize least = window_->size();
        window_->resize(1366, 740);
        QTRY_COMPARE(window_->size(), QSize(1366, 740));

        const QRect tabs = Find<QWidget>("tab_Results")->geometry();
        const QRect figures = Find<QWidget>("Label7")->geometry();
        QVERIFY(tabs.left() > figures.right());
        QVERIFY(tabs.top() < figures.top());
        QVERIFY2(tabs.height() > 600, qPrintable(QString::number(tabs.height())));
        QCOMPARE(window_->width() - tabs.right(), least.width() - before["tab_Results"].right());
        QVERIFY(Find<QWidget>("Label19")->geometry().top() < Find<QWidget>("Combo2")->y() + 5);
        QCOMPARE(
            Find<QWidget>("btn_Print")->geometry().bottomRight(),
            before["btn_Print"].bottomRight() + QPoint(1366 - least.width(), 740 - least.height()));
        for (const char* designed :
             {"Combo2", "Command1", "Label7", "lbl_TaxAmt", "lbl_Sal_URD_VAT_Amt"})
            QCOMPARE(Find<QWidget>(designed)->geometry(), before[designed]);
        // The note on the files takes the lines it needs; the folder row stays under it.
        auto* note = Find<QLabel>("Label18");
        QCOMPARE(note->geometry().topLeft(), before["Label18"].topLeft());
        QVERIFY(note->height() >= note->heightForWidth(note->width()));
        QCOMPARE(Find<QWidget>("folderRow")->y() - note->geometry().bottom(),
                 before["folderRow"].y() - before["Label18"].bottom());

        window_->resize(least);
        QTRY_COMPARE(window_->size(), least);
        for (QWidget* control : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QCOMPARE(control->geometry(), before[control->objectName()]);
    }

    // Two files fail their schema checks: the run goes on to its end, and its messages come
    // together before OVER.
    void aRunsMessagesWaitForItsEnd() {
        const QString schemas = programFolder_.filePath("XSD/");
        QVERIFY(QFile::rename(schemas + "eval_pur.xsd", schemas + "swap.xsd"));
        QVERIFY(QFile::rename(schemas + "eval_sal.xsd", schemas + "eval_pur.xsd"));
        QVERIFY(QFile::rename(schemas + "swap.xsd", schemas + "eval_sal.xsd"));
        SelectDataFile("shop2013");
        messages_->texts.clear();
        messages_->criticalFlags.clear();

        Generate();

        QCOMPARE(messages_->texts.size(), 2);
        const QStringList together = messages_->texts.first().split('\n');
        QCOMPARE(together.size(), 2);
        QVERIFY(together[0].startsWith("Validation failed for file ") &&
                together[0].endsWith("efile_pur04.xml"));
        QVERIFY(together[1].endsWith("efile_sal04.xml"));
        QCOMPARE(messages_->criticalFlags.first(), true);
        QCOMPARE(messages_->texts.last(), QString("OVER"));
    }

    void exportWritesTheChosenFormat() {
        for (const QString name : {"errors.csv", "errors.xlsx"}) {
            messages_->texts.clear();
            messages_->saveFile = programFolder_.filePath(name);
            QTest::mouseClick(Find<QPushButton>("btn_Export"), Qt::LeftButton);
            QCOMPARE(messages_->suggestedFile, programFolder_.filePath("shop2013_04_errors.xlsx"));
            QCOMPARE(messages_->texts,
                     QStringList{"The error list was exported to " + messages_->saveFile + "."});
            QFile file(messages_->saveFile);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            QVERIFY(file.read(3) == (name.endsWith("csv") ? "\xEF\xBB\xBF" : "PK\x03"));
        }
        messages_->texts.clear();
        messages_->saveFile = programFolder_.filePath("errors.txt");
        QTest::mouseClick(Find<QPushButton>("btn_Export"), Qt::LeftButton);
        QCOMPARE(messages_->texts.size(), 1);
        QVERIFY(messages_->texts.first().contains(".csv or .xlsx"));
    }

    // A row opens the voucher behind it; a row without one says so.
    void doubleClickingARowShowsItsVoucher() {
        SelectDataFile("t_run_figures");
        vat::RunResult run =
            RunWithRows({{"Sales Outside State", "Inv No.CR323 of voucher 23 left out: no city", "",
                          "", std::nullopt, 23},
                         {"Sales Outside State", "<SelTin> (checked element 3) is not valid"}});
        run.books = window_->dataFileChoice().books;
        window_->showRun(run);
        auto* grid = Find<ErrorGrid>("grd_Errors");
        const auto doubleClick = [&](int rowNumber) {
            const QModelIndex row = grid->model()->index(rowNumber, 2);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(row).center());
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                               grid->visualRect(row).center());
        };
        doubleClick(0);

        auto* dialog = window_->findChild<VoucherDialog*>();
        QVERIFY2(dialog, qPrintable(messages_->texts.join('|')));
        QCOMPARE(dialog->findChild<QTableWidget*>("tbl_Postings")->rowCount(), 2);
        QCOMPARE(dialog->findChild<QTableWidget*>("tbl_Postings")->item(0, 2)->text(),
                 QString("6 Sales outside the state"));
        QCOMPARE(dialog->findChild<QTableWidget*>("tbl_Lines")->item(0, 0)->text(),
                 QString("50.000"));
        QCOMPARE(dialog->findChild<QTableWidget*>("tbl_Party")->item(0, 1)->text(),
                 QString("MADRAS PHARMA"));
        const QPointer<VoucherDialog> open(dialog);
        dialog->close();
        QTRY_VERIFY(open.isNull());

        messages_->texts.clear();
        doubleClick(1);
        QCOMPARE(messages_->texts, QStringList{"This row names no voucher of the data file."});
        QVERIFY(!window_->findChild<VoucherDialog*>());
        window_->showRun({});
    }

    // After generateWritesTheMonthsFilesAndSaysOver: April's files are shop2013's, which a run
    // of t_run_demo replaces only when the user says so.
    void otherBooksFilesAreReplacedOnlyWhenTheUserSaysSo() {
        const auto owner = [&] {
            return vat::ReadRunRecord(programFolder_.filePath("04").toStdString())->dataFile;
        };
        QCOMPARE(owner(), std::string("shop2013"));
        SelectDataFile("t_run_demo");
        Find<QComboBox>("Combo1")->setCurrentIndex(0);
        for (const bool replace : {false, true}) {
            messages_->questions.clear();
            messages_->answer = replace;
            Generate();
            QCOMPARE(messages_->questions.size(), 1);
            QVERIFY2(messages_->questions.first().contains("were made from shop2013 (financial "
                                                           "year 01/04/2013 to 31/03/2014)"),
                     qPrintable(messages_->questions.first()));
            QCOMPARE(owner(), std::string(replace ? "t_run_demo" : "shop2013"));
        }
    }

    // After otherBooksFilesAreReplacedOnlyWhenTheUserSaysSo: April's files are t_run_demo's,
    // written with in-state parties; a run with every party asks first, as for another data
    // file's, and writes its choice into the record.
    void theOtherChoiceOfInterstatePartiesAsksBeforeReplacing() {
        const auto parties = [&] {
            return vat::ReadRunRecord(programFolder_.filePath("04").toStdString())
                ->interstateParties;
        };
        QCOMPARE(parties(), vat::InterstateParties::InState);
        auto* all = Find<QCheckBox>("chk_InterstateAllParties");
        all->setChecked(true);
        for (const bool replace : {false, true}) {
            messages_->questions.clear();
            messages_->answer = replace;
            Generate();
            QCOMPARE(messages_->questions.size(), 1);
            QVERIFY2(messages_->questions.first().contains(
                         "were made by a run of t_run_demo whose interstate files list parties "
                         "whose TIN begins with 29 only"),
                     qPrintable(messages_->questions.first()));
            QCOMPARE(parties(),
                     replace ? vat::InterstateParties::All : vat::InterstateParties::InState);
        }
        QCOMPARE(window_->shownRun().interstateParties, vat::InterstateParties::All);
        all->setChecked(false);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
