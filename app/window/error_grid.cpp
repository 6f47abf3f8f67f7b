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
            [this](const QModelIndex& index) { emit rowChosen(errorRowAt(index.row())); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                emit currentRowShown(current.isValid() ? &errorRowAt(current.row()) : nullptr);
            });
    // A list started again from nothing leaves no row to be on.
    connect(filter_, &QAbstractItemModel::modelReset, this,
            [this] { emit currentRowShown(nullptr); });
}

void ErrorGrid::fitColumns() {
    const int available = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    const auto share = [&](int column, int units) {
        setColumnWidth(column, available * units / 100);
    };
    share(ErrorListModel::TypeColumn, kTypeShare);
    share(ErrorListModel::DocumentColumn, kDocumentShare);
    share(ErrorListModel::FileLineColumn, kFileLineShare);
}

void ErrorGrid::showRows(const std::vector<vat::ErrorRow>& rows) { model_->show(rows); }

void ErrorGrid::filterByType(std::optional<QString> type) { filter_->setType(std::move(type)); }

void ErrorGrid::filterByFile(std::optional<QString> file) { filter_->setFile(std::move(file)); }

const QStringList& ErrorGrid::types() const { return model_->types(); }

const QStringList& ErrorGrid::files() const { return model_->files(); }

int ErrorGrid::rowCount() const { return model_->rowCount(); }

int ErrorGrid::visibleRowCount() const { return filter_->rowCount(); }

const vat::ErrorRow& ErrorGrid::errorRowAt(int visibleRow) const {
    return model_->errorRow(filter_->mapToSource(filter_->index(visibleRow, 0)).row());
}
