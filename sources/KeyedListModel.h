// A list model for QML over rows that each carry a key. The owner hands over every row after
// each change; the model turns the difference into removals, insertions and data changes, so
// that a list keeps its scroll position and rows keep their place when only values change.
#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <functional>

// What QML sees of every keyed list: its row count as a property.
class KeyedListModelBase : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    using QAbstractListModel::QAbstractListModel;
    int count() const { return rowCount(); }

signals:
    void countChanged();
};

template <typename Row> class KeyedListModel : public KeyedListModelBase {
public:
    // A role: its name in QML and how a row gives its value.
    struct Role {
        QByteArray name;
        std::function<QVariant(const Row&)> value;
    };
    template <typename T> static Role field(const char* name, T Row::*member) {
        return {name, [member](const Row& row) { return QVariant::fromValue(row.*member); }};
    }

    // Rows are told apart by `key`; the role named `displayed` is also the display text.
    KeyedListModel(QString Row::*key, QList<Role> roles, const QByteArray& displayed,
                   QObject* parent)
        : KeyedListModelBase(parent), key_(key), roles_(std::move(roles)) {
        for (qsizetype i = 0; i < roles_.size(); ++i) {
            if (roles_[i].name == displayed)
                displayRole_ = kFirstRole + int(i);
        }
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() < 0 || index.row() >= rows_.size())
            return {};
        const qsizetype field = (role == Qt::DisplayRole ? displayRole_ : role) - kFirstRole;
        if (field < 0 || field >= roles_.size())
            return {};
        return roles_[field].value(rows_[index.row()]);
    }
    QHash<int, QByteArray> roleNames() const override {
        QHash<int, QByteArray> names;
        for (qsizetype i = 0; i < roles_.size(); ++i)
            names.insert(kFirstRole + int(i), roles_[i].name);
        return names;
    }

    const QList<Row>& rows() const { return rows_; }

    void setRows(QList<Row> rows) {
        const int oldCount = count();
        if (rows_.isEmpty() != rows.isEmpty()) {
            // A new list: one reset rather than a view update for each of thousands of rows.
            resetTo(std::move(rows), oldCount);
            return;
        }
        // A filter keeps the rows a subsequence of the whole: remove the rows that left, then
        // insert the rows that arrived, each at its place, then refresh the rest.
        QSet<QString> incoming;
        for (const Row& row : rows)
            incoming.insert(row.*key_);
        for (int i = int(rows_.size()) - 1; i >= 0; --i) {
            if (!incoming.contains(rows_[i].*key_)) {
                beginRemoveRows({}, i, i);
                rows_.removeAt(i);
                endRemoveRows();
            }
        }
        for (int i = 0; i < rows.size(); ++i) {
            if (i < rows_.size() && rows_[i].*key_ == rows[i].*key_)
                continue;
            const auto later = std::find_if(rows_.begin() + i, rows_.end(), [&](const Row& row) {
                return row.*key_ == rows[i].*key_;
            });
            if (later != rows_.end()) {
                // The order changed: start over rather than move rows one by one.
                resetTo(std::move(rows), oldCount);
                return;
            }
            beginInsertRows({}, i, i);
            rows_.insert(i, rows[i]);
            endInsertRows();
        }
        for (int i = 0; i < rows.size(); ++i) {
            if (!(rows_[i] == rows[i])) {
                rows_[i] = std::move(rows[i]);
                emit dataChanged(index(i), index(i));
            }
        }
        if (count() != oldCount)
            emit countChanged();
    }

private:
    static constexpr int kFirstRole = Qt::UserRole + 1;

    void resetTo(QList<Row> rows, int oldCount) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        if (count() != oldCount)
            emit countChanged();
    }

    QString Row::*key_;
    QList<Role> roles_;
    int displayRole_ = kFirstRole;
    QList<Row> rows_;
};
