// The batch list's rows for QML: one row per visible clip, in batch order. The owner hands
// over the whole row list after every change; the model turns the difference into row
// insertions, removals and data changes so the list keeps its scroll position.
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>

class BatchClipListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Rows come from ClipSources")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    struct Row {
        QString path;   // the clip's identity
        QString name;   // its name relative to the batch folder
        QString status; // "unknown", "withMetadata", "noMetadata" or "error"
        bool isSelected = false;
        friend bool operator==(const Row&, const Row&) = default;
    };
    enum Role { PathRole = Qt::UserRole + 1, NameRole, StatusRole, IsSelectedRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(rows_.size()); }
    const QList<Row>& rows() const { return rows_; }
    void setRows(QList<Row> rows);

signals:
    void countChanged();

private:
    QList<Row> rows_;
};
