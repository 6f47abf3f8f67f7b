#include "app/window/year/year_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <memory>
#include <set>

#include "app/window/background_job.h"
#include "app/window/message_presenter.h"
#include "app/window/year/year_chart.h"
#include "returns/check/month_books_check.h"
#include "returns/filing/filing_status.h"
#include "returns/rules/return_period.h"
#include "returns/run/month_folder.h"
#include "returns/year/year_run.h"

namespace {

// Voucher counts as the accountant reads them: 1,144.
QString Count(long long count) { return QLocale(QLocale::English).toString(count); }

// The view's size where the screen has the room, wider when the columns need it.
constexpr QSize kPreferredSize(1240, 760);

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

YearView::YearView(vat::SelectedBooks books, vat::ReturnFolders folders, MessagePresenter& messages,
                   QWidget* parent)
    : QDialog(parent),
      books_(std::move(books)),
      folders_(std::move(folders)),
      messages_(messages),
      job_(new BackgroundJob(this)),
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
    fitToScreen();

    connect(runYearButton_, &QPushButton::clicked, this, [this] { runMonths(false); });
    connect(runMissingButton_, &QPushButton::clicked, this, [this] { runMonths(true); });
    connect(checkBooksButton_, &QPushButton::clicked, this, &YearView::checkBooks);
    connect(cancelButton_, &QPushButton::clicked, job_, &BackgroundJob::cancel);
    readRunRecords();
}

std::filesystem::path YearView::monthFolder(int monthNumber) const {
    return vat::MonthFolder(folders_, books_, monthNumber);
}

// A year of large months' records takes a while to read: the view shows at once, its buttons
// waiting for the rows.
void YearView::readRunRecords() {
    std::array<std::filesystem::path, 12> folders;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        folders[vat::FinancialYearIndex(month.number)] = monthFolder(month.number);
    setRunning(true);
    progress_->setText("Reading the months' run records\u2026");
    auto read = std::make_shared<YearRows>();
    job_->start(
        [folders, books = books_, read](vat::LedgerConnection&, const vat::RunCancel& cancel) {
            for (std::size_t at = 0; at < folders.size() && !cancel.Requested(); ++at)
                (*read)[at] = vat::RecordedRow(folders[at], books);
        },
        [this, read] {
            rows_ = *read;
            showRows();
            setRunning(false);
            fitToScreen();
        });
    // Reading is short, and a year half read would pass for months not generated.
    cancelButton_->setEnabled(false);
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
    setRunning(true);
    const auto stage = [this, count = months.size()](std::size_t done) {
        stage_ = QString("month %1 of %2").arg(done + 1).arg(count);
    };
    stage(0);
    job_->start(
        [this, months, stage](vat::LedgerConnection& ledger, const vat::RunCancel& cancel) {
            PostedProgress progress(
                *job_, [this](const QString& file, long long done, long long total) {
                    progress_->setText(QString("%1, %2: %3 of %4 vouchers")
                                           .arg(stage_, file, Count(done), Count(total)));
                });
            std::size_t done = 0;
            vat::RunYear(
                ledger, books_.dataFile, folders_,
                {.cancel = &cancel,
                 .observer = &progress,
                 .wanted = [&](int month) { return months.contains(month); }},
                [&](int month, const vat::RunResult& result) {
                    job_->post([this, month, row = vat::RunRow(result), stage, done = ++done] {
                        rows_[vat::FinancialYearIndex(month)] = row;
                        showRows();
                        stage(done);
                    });
                });
        },
        [this] { setRunning(false); });
}

void YearView::checkBooks() {
    std::vector<int> months;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        if (rows_[vat::FinancialYearIndex(month.number)].generated) months.push_back(month.number);
    setRunning(true);
    job_->start(
        [this, months](vat::LedgerConnection& ledger, const vat::RunCancel& cancel) {
            for (std::size_t at = 0; at < months.size() && !cancel.Requested(); ++at) {
                job_->post(
                    [this,
                     stage = QString("checking month %1 of %2").arg(at + 1).arg(months.size())] {
                        progress_->setText(stage);
                    });
                const vat::BooksCheck check =
                    vat::CheckMonthBooks(ledger, books_.dataFile, months[at], folders_, &cancel);
                job_->post([this, month = months[at], check] {
                    vat::MarkBooks(rows_[vat::FinancialYearIndex(month)], check);
                    showRows();
                });
            }
        },
        [this] { setRunning(false); });
}

// As wide as the table's columns, so that no month scrolls sideways, and no larger than the
// screen's free room, within which the view is centred.
void YearView::fitToScreen() {
    const QRect free = screen()->availableGeometry();
    // The window manager's frame around the view.
    const QSize frame(16, 40);
    // The last column, stretched to the table's end, is measured at its contents too.
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(false);
    header->resizeSections(QHeaderView::ResizeToContents);
    const int columns = header->length() + 2 * table_->frameWidth() +
                        table_->verticalScrollBar()->sizeHint().width();
    header->setStretchLastSection(true);
    const QMargins margins = layout()->contentsMargins();
    const QSize wanted(std::max(columns + margins.left() + margins.right(), kPreferredSize.width()),
                       kPreferredSize.height());
    const QSize fitted = wanted.boundedTo(free.size() - frame);
    resize(fitted);
    QRect place(QPoint(), fitted + frame);
    place.moveCenter(free.center());
    move(place.topLeft());
}

void YearView::setRunning(bool running) {
    if (!running) progress_->clear();
    for (QPushButton* button : {runYearButton_, runMissingButton_, checkBooksButton_})
        button->setEnabled(!running);
    cancelButton_->setEnabled(running);
}

void YearView::showRows() {
    ShowYearRows(*table_, rows_);
    std::array<std::string, 12> filings;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        if (auto filing = vat::MonthFilingStatus(folders_, books_, month.number))
            filings[vat::FinancialYearIndex(month.number)] = vat::FilingStatusText(*filing);
    ShowFilings(*table_, filings);
    chart_->showMonths(rows_);
}

// Closing the view and Escape both come here. A run or a check going on is stopped only when
// the user says so; the view then waits for its thread, which a cancel ends within a moment.
void YearView::reject() {
    if (job_->running() && !messages_.confirm("Cancel the run and close?")) return;
    job_->drop();
    job_->wait();
    QDialog::reject();
}
