#include "app/window/error_list_model.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString FileName(const vat::ErrorRow& row) { return QFileInfo(Text(row.file)).fileName(); }

QString FileLine(const vat::ErrorRow& row) {
    return row.line ? FileName(row) + ':' + QString::number(*row.line) : FileName(row);
}

// The file's whole path and the line.
QString PathLine(const vat::ErrorRow& row) {
    return row.line ? Text(row.file) + ':' + QString::number(*row.line) : Text(row.file);
}

// A text on the row's one line: the schema checker's line ends become spaces.
QString OneLine(const std::string& text) {
    static const QRegularExpression lineEnd("\r\n|\n|\r");
    return Text(text).replace(lineEnd, " ");
}

}  // namespace

void ErrorListModel::show(const std::vector<vat::ErrorRow>& rows) {
    const std::size_t shown = rows_.size();
    if (rows.size() < shown) {
        beginResetModel();
        rows_ = rows;
        types_.clear();
        files_.clear();
        noteValues(0);
        endResetModel();
    } else if (rows.size() > shown) {
        beginInsertRows({}, static_cast<int>(shown), static_cast<int>(rows.size()) - 1);
        rows_.insert(rows_.end(), rows.begin() + static_cast<std::ptrdiff_t>(shown), rows.end());
        noteValues(shown);
        endInsertRows();
    }
}

void ErrorListModel::noteValues(std::size_t first) {
    for (std::size_t row = first; row < rows_.size(); ++row) {
        if (const QString type = Text(rows_[row].type); !types_.contains(type)) types_.append(type);
        if (const QString file = FileName(rows_[row]); !files_.contains(file)) files_.append(file);
    }
}

int ErrorListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ErrorListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ErrorListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const vat::ErrorRow& row = errorRow(index.row());
    switch (role) {
        case TypeRole:
            return Text(row.type);
        case FileRole:
            return FileName(row);
        case SortRole:
            if (index.column() == FileLineColumn)
                return FileName(row) +
                       QString::number(row.line.value_or(0)).rightJustified(19, '0');
            [[fallthrough]];
        case Qt::DisplayRole:
            switch (index.column()) {
                case TypeColumn:
                    return Text(row.type);
                case DocumentColumn:
                    return OneLine(row.document);
                case ErrorColumn:
                    return OneLine(row.error);
                default:
                    return FileLine(row);
            }
        case Qt::ToolTipRole:  // the whole text where a cell is too narrow, the file's path
            switch (index.column()) {
                case TypeColumn:
                    return Text(row.type);
                case DocumentColumn:
                    return Text(row.document);
                case ErrorColumn:
                    return Text(row.error);
                default:
                    return PathLine(row);
            }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ErrorListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[] = {"Type", "Document", "Error", "File:Line"};
    return QString(kTitles[section]);
}

QString RowDetail(const vat::ErrorRow& row) {
    QString detail = "Type: " + Text(row.type) + "\nDocument: " + Text(row.document) +
                     "\nError: " + Text(row.error) + "\nFile:Line: " + PathLine(row);
    if (row.voucher) detail += "\nVoucher: " + QString::number(*row.voucher);
    return detail;
}

ErrorListFilter::ErrorListFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(ErrorListModel::SortRole);
}

void ErrorListFilter::setType(std::optional<QString> type) {
    type_ = std::move(type);
    invalidateFilter();
}

void ErrorListFilter::setFile(std::optional<QString> file) {
    file_ = std::move(file);
    invalidateFilter();
}

bool ErrorListFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    return (!type_ || index.data(ErrorListModel::TypeRole).toString() == *type_) &&
           (!file_ || index.data(ErrorListModel::FileRole).toString() == *file_);
}
