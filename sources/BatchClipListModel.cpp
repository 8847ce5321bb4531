// Row diffing for the batch list.
#include "BatchClipListModel.h"

#include <QSet>

int BatchClipListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant BatchClipListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rows_.size())
        return {};
    const Row& row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return row.name;
    case PathRole:
        return row.path;
    case StatusRole:
        return row.status;
    case IsSelectedRole:
        return row.isSelected;
    default:
        return {};
    }
}

QHash<int, QByteArray> BatchClipListModel::roleNames() const {
    return {{PathRole, "path"},
            {NameRole, "name"},
            {StatusRole, "status"},
            {IsSelectedRole, "isSelected"}};
}

void BatchClipListModel::setRows(QList<Row> rows) {
    const int oldCount = count();
    if (rows_.isEmpty() != rows.isEmpty()) {
        // A new batch: one reset rather than a view update for each of thousands of rows.
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        emit countChanged();
        return;
    }
    // Filter changes keep the rows a subsequence of the batch: remove the rows that left,
    // then insert the rows that arrived, each at its place, then refresh the rest.
    QSet<QString> incoming;
    for (const Row& row : rows)
        incoming.insert(row.path);
    for (int i = int(rows_.size()) - 1; i >= 0; --i) {
        if (!incoming.contains(rows_[i].path)) {
            beginRemoveRows({}, i, i);
            rows_.removeAt(i);
            endRemoveRows();
        }
    }
    for (int i = 0; i < rows.size(); ++i) {
        if (i < rows_.size() && rows_[i].path == rows[i].path)
            continue;
        const qsizetype existing = [&] {
            for (qsizetype j = i + 1; j < rows_.size(); ++j)
                if (rows_[j].path == rows[i].path)
                    return j;
            return qsizetype(-1);
        }();
        if (existing >= 0) {
            // Order changed (a new batch): start over rather than move rows one by one.
            beginResetModel();
            rows_ = std::move(rows);
            endResetModel();
            if (count() != oldCount)
                emit countChanged();
            return;
        }
        beginInsertRows({}, i, i);
        rows_.insert(i, rows[i]);
        endInsertRows();
    }
    for (int i = 0; i < rows.size(); ++i) {
        if (!(rows_[i] == rows[i])) {
            rows_[i] = rows[i];
            emit dataChanged(index(i), index(i));
        }
    }
    if (count() != oldCount)
        emit countChanged();
}
