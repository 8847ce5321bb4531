// The batch list's rows for QML: one row per visible clip, in batch order.
#pragma once

#include "KeyedListModel.h"

#include <QtQml/qqmlregistration.h>

struct BatchClipRow {
    QString path;   // the clip's identity
    QString name;   // its name relative to the batch folder
    QString status; // "unknown", "withMetadata", "noMetadata" or "error"
    bool isSelected = false;
    friend bool operator==(const BatchClipRow&, const BatchClipRow&) = default;
};

class BatchClipListModel : public KeyedListModel<BatchClipRow> {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Rows come from ClipSources")

public:
    using Row = BatchClipRow;
    explicit BatchClipListModel(QObject* parent = nullptr);
};
