#include "app/window/error_grid.h"

#include <QHeaderView>
#include <QScrollBar>

#include "app/window/error_list_model.h"

namespace {

// Shares of the width the columns start with; Error takes the rest.
constexpr int kTypeShare = 20;
constexpr int kDocumentShare = 22;
constexpr int kFileLineShare = 24;

// Room above and below a row's line of text, in pixels.
constexpr int kRowPadding = 6;

}  // namespace

ErrorGrid::ErrorGrid(QWidget* parent)
    : QTableView(parent), model_(new ErrorListModel(this)), filter_(new ErrorListFilter(this)) {
    filter_->setSourceModel(model_);
    setModel(filter_);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStyleSheet(
        "QHeaderView::section { background-color: rgb(224, 224, 224); padding: 2px 4px;"
        " border: none; border-right: 1px solid gray; border-bottom: 1px solid gray; }");
    horizontalHeader()->setSectionResizeMode(ErrorListModel::ErrorColumn, QHeaderView::Stretch);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    // The run's own order until a heading is clicked.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowChosen(RowAt(index.row())); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                emit currentRowShown(current.isValid() ? &RowAt(current.row()) : nullptr);
            });
    // A list started again from nothing leaves no row to be on.
    connect(filter_, &QAbstractItemModel::modelReset, this,
            [this] { emit currentRowShown(nullptr); });
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
