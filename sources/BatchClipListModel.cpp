// The batch list's roles.
#include "BatchClipListModel.h"

BatchClipListModel::BatchClipListModel(QObject* parent)
    : KeyedListModel(&Row::path,
                     {field("path", &Row::path), field("name", &Row::name),
                      field("status", &Row::status), field("isSelected", &Row::isSelected)},
                     "name", parent) {}
