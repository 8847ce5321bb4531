// The trip list's rows for QML: a header row per trip, then a row per moment.
#pragma once

#include "KeyedListModel.h"

#include <QVariantList>
#include <QtQml/qqmlregistration.h>

struct TripListRow {
    QString key; // "trip/<index>" or "moment/<trip>/<moment>"
    bool isTrip = false;
    int tripIndex = 0;
    int momentIndex = 0;
    QString title;      // header: date and clock times; moment: its clock time
    QString detail;     // header: length, cameras, telemetry, scan progress
    QVariantList chips; // moment: one {camera, status} per clip
    bool isCurrent = false;
    friend bool operator==(const TripListRow&, const TripListRow&) = default;
};

class TripListModel : public KeyedListModel<TripListRow> {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Rows come from ClipSources")

public:
    using Row = TripListRow;
    explicit TripListModel(QObject* parent = nullptr);
};
