#include "widgets/result_list_model.h"

namespace trovix::widgets {

ResultListModel::ResultListModel(lists::ResultList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), count_(list.count()) {
    list_.setObserver(this);
}

ResultListModel::~ResultListModel() {
    list_.setObserver(nullptr);
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QModelIndex ResultListModel::index(int row, int column, const QModelIndex& parent) const {
    return row >= 0 && row < count_ && column == 0 && !parent.isValid() ? createIndex(row, column)
                                                                        : QModelIndex();
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return list_.shownText(index.row());
    }
    if (role == Qt::UserRole) {
        return list_.itemData(index.row());
    }
    return {};
}

void ResultListModel::rowsAboutToBeReset() {
    Q_EMIT coreRowsChanging();
    beginResetModel();
}

void ResultListModel::rowsReset() {
    count_ = list_.count();
    endResetModel();
    Q_EMIT coreRowsChanged();
}

void ResultListModel::rowsAboutToBeInserted(int first, int count) {
    Q_EMIT coreRowsChanging();
    beginInsertRows(QModelIndex(), first, first + count - 1);
}

void ResultListModel::rowsInserted(int /*first*/, int count) {
    count_ += count;
    endInsertRows();
    Q_EMIT coreRowsChanged();
}

void ResultListModel::rowsAboutToBeRemoved(int first, int count) {
    Q_EMIT coreRowsChanging();
    beginRemoveRows(QModelIndex(), first, first + count - 1);
}

void ResultListModel::rowsRemoved(int /*first*/, int count) {
    count_ -= count;
    endRemoveRows();
    Q_EMIT coreRowsChanged();
}

void ResultListModel::rowTextChanged(int row) {
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, {Qt::DisplayRole});
}

void ResultListModel::selectionChanged() {
    Q_EMIT coreSelectionChanged();
}

void ResultListModel::appearanceChanged() {
    Q_EMIT coreAppearanceChanged();
}

}  // namespace trovix::widgets
