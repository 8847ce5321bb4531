// Row updates for the trip list.
#include "TripListModel.h"

int TripListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant TripListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rows_.size())
        return {};
    const Row& row = rows_[index.row()];
    switch (role) {
    case KeyRole:
        return row.key;
    case IsTripRole:
        return row.isTrip;
    case TripIndexRole:
        return row.tripIndex;
    case MomentIndexRole:
        return row.momentIndex;
    case Qt::DisplayRole:
    case TitleRole:
        return row.title;
    case DetailRole:
        return row.detail;
    case ChipsRole:
        return row.chips;
    case IsCurrentRole:
        return row.isCurrent;
    default:
        return {};
    }
}

QHash<int, QByteArray> TripListModel::roleNames() const {
    return {{KeyRole, "key"},
            {IsTripRole, "isTrip"},
            {TripIndexRole, "tripIndex"},
            {MomentIndexRole, "momentIndex"},
            {TitleRole, "title"},
            {DetailRole, "detail"},
            {ChipsRole, "chips"},
            {IsCurrentRole, "isCurrent"}};
}

void TripListModel::setRows(QList<Row> rows) {
    const bool sameKeys = rows.size() == rows_.size() &&
                          std::equal(rows.begin(), rows.end(), rows_.begin(),
                                     [](const Row& a, const Row& b) { return a.key == b.key; });
    if (!sameKeys) {
        // Scan progress changes values only; a new folder or the filter changes the rows.
        const int oldCount = count();
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        if (count() != oldCount)
            emit countChanged();
        return;
    }
    for (int i = 0; i < rows.size(); ++i) {
        if (!(rows_[i] == rows[i])) {
            rows_[i] = std::move(rows[i]);
            emit dataChanged(index(i), index(i));
        }
    }
}
