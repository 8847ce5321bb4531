// How the route is coloured: plain, by speed (a gradient from slow to fast) or by assistance
// (engaged stretches apart from the rest). Colours come in steps, so that a track is stroked in
// long runs of one colour.
#pragma once

#include "DriveData.h"

#include <QColor>
#include <QList>
#include <vector>

enum class RouteColouring { Plain = 0, Speed = 1, Assistance = 2 };

// The gradient's ends and middle, from 0 to the drive's top speed.
inline const QColor kSlowColour{52, 199, 89};
inline const QColor kMiddleSpeedColour{255, 204, 0};
inline const QColor kFastColour{255, 59, 48};
inline const QColor kAssistedColour{10, 132, 255};
inline const QColor kUnassistedColour{142, 142, 147};
inline constexpr int kSpeedColourSteps = 16;

// One colour per route point (its source row); empty for Plain or when the rows do not match.
std::vector<QRgb> routeColours(const DriveData& drive, RouteColouring colouring,
                               qsizetype routePoints);
