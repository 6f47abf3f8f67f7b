// The window's Reconciliation and To fix tabs after a real run of a fixture month, and Check
// only, which shows a run's results without touching the month folder.
#include <QComboBox>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/export/reconciliation_table.h"
#include "app/window/main_window.h"
#include "app/window/recording_presenter.h"
#include "app/window/scratch_settings.h"
#include "app/window/voucher_dialog.h"
#include "returns/fixes/fix_groups.h"
#include "returns/results/number_forms.h"

namespace {

QString Grouped(const std::string& text) {
    return QString::fromStdString(vat::GroupedDigits(text));
}

}  // namespace

class ResultTabsTest : public QObject {
    Q_OBJECT

private:
    template <typename Control>
    Control* Find(const char* name) {
        auto* control = window_->findChild<Control*>(name);
        if (!control) qFatal("The window has no control named %s", name);
        return control;
    }

    // Runs April of a data file by a click on the button, as a user would, replacing another
    // data file's files in the month folder; true when it completed.
    bool RunApril(const QString& dataFile, const char* button = "Command1") {
        auto* dataFiles = Find<QComboBox>("Combo2");
        dataFiles->setCurrentIndex(dataFiles->findText(dataFile));
        Find<QComboBox>("Combo1")->setCurrentIndex(0);  // APR
        messages_->answer = true;
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
        if (!QTest::qWaitFor([this] { return !window_->busy(); }, 120000)) return false;
        if (!window_->shownRun().Completed()) qWarning() << messages_->texts;
        return window_->shownRun().Completed();
    }

    // April's folder: each file's name, size, time of its last change to the millisecond, and
    // bytes. A file written again with the same bytes within the second is told by its time.
    QStringList AprilContents() {
        QStringList files;
        const QDir month(programFolder_.filePath("04"));
        for (const QFileInfo& file : month.entryInfoList(QDir::Files, QDir::Name)) {
            QFile bytes(file.filePath());
            files << QString("%1 %2 %3:")
                             .arg(file.fileName())
                             .arg(file.size())
                             .arg(file.lastModified().toMSecsSinceEpoch()) +
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
        const std::filesystem::path folder = programFolder_.path().toStdString();
        window_ = std::make_unique<MainWindow>(
            vat::ReturnFolders(folder, VAT_SCHEMA_DIR, vat::MonthFolderLayout::Flat),
            std::move(messages));
        QVERIFY(window_->loadDataFiles());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void init() { messages_->texts.clear(); }

    void reconciliationShowsTheRunsFiguresAndItems() {
        QVERIFY(RunApril("t_reconcile"));
        QVERIFY(window_->shownRun().reconciliation);
        const vat::Reconciliation& shown = *window_->shownRun().reconciliation;
        const auto* figures = Find<QTableView>("tbl_Reconciliation")->model();
        const std::vector<TableRow> expected = ReconciledFigureRows(shown);
        QCOMPARE(figures->rowCount(), static_cast<int>(expected.size()));
        for (int row = 0; row < figures->rowCount(); ++row) {
            const TableRow& cells = expected[static_cast<std::size_t>(row)];
            // Figure, Books, Return, Difference, then Explained, which the exports leave out.
            for (int column = 0; column < 4; ++column)
                QCOMPARE(figures->index(row, column).data().toString(),
                         Grouped(cells[static_cast<std::size_t>(column)].text));
            QCOMPARE(figures->index(row, 5).data().toString(), Grouped(cells[4].text));
        }
        QCOMPARE(figures->index(0, 4).data().toString(),
                 Grouped(vat::PaiseText(shown.Of(vat::ReconciledFigure::InputVat).Explained())));
        QCOMPARE(Find<QLabel>("lbl_ReconciliationStatus")->text(),
                 QString("Every difference is explained."));

        auto* items = Find<QTableView>("tbl_ReconcilingItems");
        QCOMPARE(items->model()->rowCount(), static_cast<int>(ReconcilingItemRows(shown).size()));
        QVERIFY(items->model()->rowCount() > 1);
        // Sorted by Amount, the amounts rise.
        items->sortByColumn(6, Qt::AscendingOrder);
        for (int row = 1; row < items->model()->rowCount(); ++row)
            QVERIFY(items->model()->index(row - 1, 6).data(Qt::UserRole + 1).toDouble() <=
                    items->model()->index(row, 6).data(Qt::UserRole + 1).toDouble());

        emit items->doubleClicked(items->model()->index(0, 3));
        const QPointer<VoucherDialog> dialog = window_->findChild<VoucherDialog*>();
        QVERIFY2(dialog, qPrintable(messages_->texts.join('|')));
        dialog->close();
        QTRY_VERIFY(dialog.isNull());
    }

    void toFixShowsTheRunsGroupsInRankOrder() {
        QVERIFY(RunApril("t_fix_list"));
        const vat::RunResult& run = window_->shownRun();
        const std::vector<vat::FixGroup> groups = vat::GroupFixes(run.rows, run.notes);
        auto* tree = Find<QTreeWidget>("trw_Fixes");
        QCOMPARE(tree->topLevelItemCount(), static_cast<int>(groups.size()));
        QTreeWidgetItem* first = tree->topLevelItem(0);
        QCOMPARE(first->text(0), QString::fromStdString(groups[0].text));
        QCOMPARE(first->text(1), QString::number(groups[0].documents));
        QCOMPARE(first->text(2), Grouped(vat::PaiseText(groups[0].taxPaise)));
        QCOMPARE(first->childCount(), static_cast<int>(groups[0].rows.size()));

        // The first group is a party's: a double click names it with its TIN as stored.
        messages_->texts.clear();
        emit tree->itemDoubleClicked(first, 0);
        QCOMPARE(messages_->texts.size(), 1);
        QVERIFY2(messages_->texts[0].startsWith("Party 1203 MEDICO, TIN as stored '29 92877574'"),
                 qPrintable(messages_->texts[0]));
    }

    // After toFixShowsTheRunsGroupsInRankOrder: April's folder holds t_fix_list's run.
    void checkOnlyShowsTheResultsAndLeavesTheMonthFolderAlone() {
        const QStringList before = AprilContents();
        QVERIFY(!before.isEmpty());
        auto* reconciliationStatus = Find<QLabel>("lbl_ReconciliationStatus");
        QVERIFY(!reconciliationStatus->text().isEmpty());
        window_->showRun({});
        QCOMPARE(Find<QTreeWidget>("trw_Fixes")->topLevelItemCount(), 0);
        QCOMPARE(Find<QTableView>("tbl_Reconciliation")->model()->rowCount(), 0);
        QCOMPARE(reconciliationStatus->text(), QString());

        QVERIFY(RunApril("t_fix_list", "btn_CheckOnly"));
        QCOMPARE(AprilContents(), before);
        const vat::RunResult& run = window_->shownRun();
        QVERIFY(run.reconciliation);
        QCOMPARE(Find<QTreeWidget>("trw_Fixes")->topLevelItemCount(),
                 static_cast<int>(vat::GroupFixes(run.rows, run.notes).size()));
        QCOMPARE(Find<QTableView>("tbl_Reconciliation")->model()->rowCount(),
                 static_cast<int>(ReconciledFigureRows(*run.reconciliation).size()));
        QCOMPARE(Find<QLabel>("runStatusText")->text(),
                 QString("Checked only: nothing was written in the month's folder."));
    }

    // Mark as filed... keeps the month as filed; the next run asks first, then says in Since
    // filing what changed: nothing, as the books did not change.
    void aFiledMonthsNextRunIsARevisionOfIt() {
        QVERIFY(RunApril("t_fix_list"));
        const int year = window_->dataFileChoice().books->yearStart.year;
        const QString filedOn = QString("20/05/%1").arg(year);
        const QString filing = "filed on " + filedOn + " (acknowledgement ACK-W)";
        messages_->filing = FilingAnswer{"ACK-W", QDate(year, 5, 20)};
        QTest::mouseClick(Find<QPushButton>("btn_MarkFiled"), Qt::LeftButton);
        QCOMPARE(messages_->filingAsked, QString("April %1").arg(year));
        QVERIFY2(messages_->texts.last().contains("marked " + filing),
                 qPrintable(messages_->texts.last()));
        QCOMPARE(Find<QLabel>("lbl_Filing")->text(), filing);

        messages_->questions.clear();
        // A run record names the second it was written: the revision's must differ.
        QTest::qWait(1100);
        QVERIFY(RunApril("t_fix_list"));
        QVERIFY2(messages_->questions.size() == 1, qPrintable(messages_->questions.join('|')));
        QVERIFY(messages_->questions[0].contains("a revision"));
        QCOMPARE(Find<QPlainTextEdit>("sinceFilingView")->toPlainText(),
                 QString("April %1 was %2; these files are a revision of it\n"
                         "Nothing changed since filing.")
                     .arg(year)
                     .arg(filing));
        QCOMPARE(Find<QLabel>("lbl_Filing")->text(), filing);
        // Asked only before the first revision.
        QVERIFY(RunApril("t_fix_list"));
        QVERIFY2(messages_->questions.size() == 1, qPrintable(messages_->questions.join('|')));
    }

    void cleanupTestCase() { window_.reset(); }
};

QTEST_MAIN(ResultTabsTest)
#include "result_tabs_test.moc"
