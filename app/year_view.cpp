#include "app/year_view.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "app/year_chart.h"
#include "returns/check/month_books_check.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"
#include "returns/year/year_run.h"

namespace {

// Voucher counts as the accountant reads them: 1,144.
QString Count(long long count) { return QLocale(QLocale::English).toString(count); }

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QString YearText(const vat::SelectedBooks& books) {
    if (!books.yearEnd) return QString::fromStdString(books.dataFile);
    return QString("%1: financial year %2 to %3")
        .arg(QString::fromStdString(books.dataFile),
             QString::fromStdString(books.yearStart.DisplayText()),
             QString::fromStdString(books.yearEnd->DisplayText()));
}

}  // namespace

YearView::YearView(vat::LedgerConnection& ledger, vat::SelectedBooks books,
                   vat::ReturnFolders folders, QWidget* parent)
    : QDialog(parent),
      ledger_(ledger),
      books_(std::move(books)),
      folders_(std::move(folders)),
      table_(new QTableWidget(this)),
      chart_(new YearChart(this)),
      progress_(new QLabel(this)),
      runYearButton_(Button("Run all months", "btn_RunYear", this)),
      runMissingButton_(Button("Run months not generated", "btn_RunMissing", this)),
      checkBooksButton_(Button("Check books", "btn_CheckBooks", this)),
      cancelButton_(Button("Cancel", "btn_CancelYear", this)) {
    setObjectName("YearView");
    setWindowTitle(QString("Year of %1").arg(QString::fromStdString(books_.dataFile)));

    table_->setObjectName("tbl_Year");
    FormatYearTable(*table_);
    chart_->setObjectName("chart_Year");
    chart_->setMinimumHeight(240);
    progress_->setObjectName("lbl_YearProgress");
    cancelButton_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {runYearButton_, runMissingButton_, checkBooksButton_})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(YearText(books_), this));
    layout->addWidget(table_, 3);
    layout->addWidget(chart_, 2);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    resize(1240, 760);

    connect(runYearButton_, &QPushButton::clicked, this, [this] { runMonths(false); });
    connect(runMissingButton_, &QPushButton::clicked, this, [this] { runMonths(true); });
    connect(checkBooksButton_, &QPushButton::clicked, this, &YearView::checkBooks);
    connect(cancelButton_, &QPushButton::clicked, this, &YearView::cancelRun);
    readRunRecords();
}

std::filesystem::path YearView::monthFolder(int monthNumber) const {
    return vat::MonthFolder(folders_, books_, monthNumber);
}

void YearView::readRunRecords() {
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        rows_[vat::FinancialYearIndex(month.number)] =
            vat::RecordedRow(monthFolder(month.number), books_);
    showRows();
}

// Which months are missing is decided before the first runs, so that the count holds.
void YearView::runMonths(bool onlyMissing) {
    std::set<int> months;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        if (!onlyMissing || !vat::MonthGenerated(monthFolder(month.number), books_))
            months.insert(month.number);
    if (months.empty()) {
        progress_->setText("Every month of the year is generated.");
        return;
    }
    // The user's data folder may not exist yet; a failure shows as the months' own.
    std::error_code ignored;
    std::filesystem::create_directories(folders_.output, ignored);
    vat::RunCancel cancel(ledger_);
    setRunning(&cancel);
    std::size_t done = 0;
    const auto stage = [&] { stage_ = QString("month %1 of %2").arg(done + 1).arg(months.size()); };
    stage();
    vat::RunYear(ledger_, books_.dataFile, folders_,
                 {.cancel = &cancel,
                  .observer = this,
                  .wanted = [&](int month) { return months.contains(month); }},
                 [&](int month, const vat::RunResult& result) {
                     rows_[vat::FinancialYearIndex(month)] = vat::RunRow(result);
                     showRows();
                     ++done;
                     stage();
                 });
    setRunning(nullptr);
}

void YearView::checkBooks() {
    std::vector<int> months;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        if (rows_[vat::FinancialYearIndex(month.number)].generated) months.push_back(month.number);
    vat::RunCancel cancel(ledger_);
    setRunning(&cancel);
    for (std::size_t at = 0; at < months.size() && !cancel.Requested(); ++at) {
        stage_ = QString("checking month %1 of %2").arg(at + 1).arg(months.size());
        progress_->setText(stage_);
        const vat::BooksCheck check =
            vat::CheckMonthBooks(ledger_, books_.dataFile, months[at], folders_, &cancel);
        vat::MarkBooks(rows_[vat::FinancialYearIndex(months[at])], check);
        showRows();
    }
    setRunning(nullptr);
}

// The run stops at its next voucher or file; a statement waiting for the server stops at once.
void YearView::cancelRun() {
    if (runCancel_) runCancel_->Request();
}

// As in the window: clicks made during a run reach the controls while they are still disabled.
void YearView::setRunning(vat::RunCancel* cancel) {
    const bool running = cancel != nullptr;
    if (!running) {
        QCoreApplication::processEvents();
        progress_->clear();
        throttle_.Reset();
    }
    runCancel_ = cancel;
    for (QPushButton* button : {runYearButton_, runMissingButton_, checkBooksButton_})
        button->setEnabled(!running);
    cancelButton_->setEnabled(running);
}

void YearView::showRows() {
    ShowYearRows(*table_, rows_);
    chart_->ShowMonths(rows_);
}

void YearView::Progress(const std::string& file, long long done, long long total) {
    if (!throttle_.Due(file, done, total)) return;
    progress_->setText(
        QString("%1, %2: %3 of %4 vouchers")
            .arg(stage_, QString::fromStdString(std::filesystem::path(file).filename().string()),
                 Count(done), Count(total)));
    QCoreApplication::processEvents();
}

void YearView::closeEvent(QCloseEvent* event) {
    if (runCancel_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

// Escape closes the view, but not while it runs.
void YearView::reject() {
    if (!runCancel_) QDialog::reject();
}
