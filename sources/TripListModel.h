// The trip list's rows for QML: a header row per trip, then a row per moment. The owner hands
// over every row after each change; rows keep their place when only their values change.
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class TripListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Rows come from ClipSources")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    struct Row {
        QString key; // "trip/<index>" or "moment/<trip>/<moment>"
        bool isTrip = false;
        int tripIndex = 0;
        int momentIndex = 0;
        QString title;      // header: date and clock times; moment: its clock time
        QString detail;     // header: length, cameras, telemetry, scan progress
        QVariantList chips; // moment: one {camera, status} per clip
        bool isCurrent = false;
        friend bool operator==(const Row&, const Row&) = default;
    };
    enum Role {
        KeyRole = Qt::UserRole + 1,
        IsTripRole,
        TripIndexRole,
        MomentIndexRole,
        TitleRole,
        DetailRole,
        ChipsRole,
        IsCurrentRole
    };

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
