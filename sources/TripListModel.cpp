// The trip list's roles.
#include "TripListModel.h"

TripListModel::TripListModel(QObject* parent)
    : KeyedListModel(&Row::key,
                     {field("key", &Row::key), field("isTrip", &Row::isTrip),
                      field("tripIndex", &Row::tripIndex), field("momentIndex", &Row::momentIndex),
                      field("title", &Row::title), field("detail", &Row::detail),
                      field("chips", &Row::chips), field("isCurrent", &Row::isCurrent)},
                     "title", parent) {}
