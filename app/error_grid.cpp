#include "app/error_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "app/error_list_model.h"
#include "app/space_wrap_delegate.h"

namespace {

// Shares of the width the columns start with; Error takes the rest.
constexpr int kTypeShare = 20;
constexpr int kDocumentShare = 22;
constexpr int kFileLineShare = 24;

// How long the width or the order must stay put before every row is fitted again; until then
// only the rows in sight are, which keeps dragging the window's edge smooth over a long list.
constexpr int kFitAllRowsAfterMilliseconds = 200;
constexpr int kRowsFittedAtOnce = 50;

}  // namespace

ErrorGrid::ErrorGrid(QWidget* parent)
    : QTableView(parent),
      model_(new ErrorListModel(this)),
      filter_(new ErrorListFilter(this)),
      fitAllRows_(new QTimer(this)) {
    filter_->setSourceModel(model_);
    setModel(filter_);
    setItemDelegate(new SpaceWrapDelegate(this));
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStyleSheet(
        "QHeaderView::section { background-color: rgb(224, 224, 224); padding: 2px 4px;"
        " border: none; border-right: 1px solid gray; border-bottom: 1px solid gray; }");
    horizontalHeader()->setSectionResizeMode(ErrorListModel::ErrorColumn, QHeaderView::Stretch);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(true);
    // The run's own order until a heading is clicked.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    // A fixed scroll bar keeps the Error column's width, and so every row's wrapping, the same
    // however many rows the list holds.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    fitAllRows_->setSingleShot(true);
    fitAllRows_->setInterval(kFitAllRowsAfterMilliseconds);
    connect(fitAllRows_, &QTimer::timeout, this, &QTableView::resizeRowsToContents);
    // A run adds its rows one by one, each fitted as it comes; a filter let go brings many.
    connect(filter_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (last - first >= kRowsFittedAtOnce) return refitRowHeights();
                for (int row = first; row <= last; ++row) resizeRowToContents(row);
            });
    connect(filter_, &QAbstractItemModel::layoutChanged, this, &ErrorGrid::refitRowHeights);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &ErrorGrid::refitRowHeights);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowChosen(RowAt(index.row())); });
}

void ErrorGrid::FitColumns() {
    const int available = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    const auto share = [&](int column, int units) {
        setColumnWidth(column, available * units / 100);
    };
    share(ErrorListModel::TypeColumn, kTypeShare);
    share(ErrorListModel::DocumentColumn, kDocumentShare);
    share(ErrorListModel::FileLineColumn, kFileLineShare);
}

void ErrorGrid::ShowRows(const std::vector<vat::ErrorRow>& rows) { model_->Show(rows); }

void ErrorGrid::FilterByType(std::optional<QString> type) { filter_->SetType(std::move(type)); }

void ErrorGrid::FilterByFile(std::optional<QString> file) { filter_->SetFile(std::move(file)); }

const QStringList& ErrorGrid::Types() const { return model_->Types(); }

const QStringList& ErrorGrid::Files() const { return model_->Files(); }

int ErrorGrid::RowCount() const { return model_->rowCount(); }

int ErrorGrid::VisibleRowCount() const { return filter_->rowCount(); }

const vat::ErrorRow& ErrorGrid::RowAt(int visibleRow) const {
    return model_->Row(filter_->mapToSource(filter_->index(visibleRow, 0)).row());
}

// After the width or the order changed: the rows in sight at once, every row once the list
// has stayed put for a moment.
void ErrorGrid::refitRowHeights() {
    int height = 0;
    for (int row = std::max(rowAt(0), 0);
         row < filter_->rowCount() && height < viewport()->height(); ++row) {
        resizeRowToContents(row);
        height += rowHeight(row);
    }
    fitAllRows_->start();
}
