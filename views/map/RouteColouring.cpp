// Route colours; see RouteColouring.h.
#include "RouteColouring.h"

#include <algorithm>
#include <cmath>

namespace {

QRgb blend(const QColor& a, const QColor& b, double f) {
    return qRgb(static_cast<int>(a.red() + f * (b.red() - a.red())),
                static_cast<int>(a.green() + f * (b.green() - a.green())),
                static_cast<int>(a.blue() + f * (b.blue() - a.blue())));
}

std::vector<QRgb> speedSteps() {
    std::vector<QRgb> steps;
    for (int i = 0; i < kSpeedColourSteps; ++i) {
        const double f = static_cast<double>(i) / (kSpeedColourSteps - 1);
        steps.push_back(f < 0.5 ? blend(kSlowColour, kMiddleSpeedColour, f * 2.0)
                                : blend(kMiddleSpeedColour, kFastColour, f * 2.0 - 1.0));
    }
    return steps;
}

} // namespace

std::vector<QRgb> routeColours(const DriveData& drive, RouteColouring colouring,
                               qsizetype routePoints) {
    const std::vector<std::size_t>& rows = drive.routeRows();
    std::vector<QRgb> colours;
    if (colouring == RouteColouring::Plain || rows.size() != static_cast<std::size_t>(routePoints))
        return colours;
    const analysis::DriveSeries& series = drive.series();
    colours.reserve(rows.size());
    if (colouring == RouteColouring::Speed) {
        static const std::vector<QRgb> steps = speedSteps();
        const double top = series.topSpeed;
        const double perStep = top > 0.0 ? (kSpeedColourSteps - 1) / top : 0.0;
        for (std::size_t row : rows) {
            const double v = series.speed[row];
            const auto step =
                std::isnan(v) ? 0
                              : std::clamp(static_cast<int>(v * perStep), 0, kSpeedColourSteps - 1);
            colours.push_back(steps[static_cast<std::size_t>(step)]);
        }
        return colours;
    }
    // Spans are in time order, as are the rows.
    auto span = series.assistance.begin();
    for (std::size_t row : rows) {
        const double t = series.time[row];
        while (span != series.assistance.end() && span->span.end <= t)
            ++span;
        const bool assisted = span != series.assistance.end() && span->span.start <= t;
        colours.push_back((assisted ? kAssistedColour : kUnassistedColour).rgb());
    }
    return colours;
}
