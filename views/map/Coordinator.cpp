// Rebuild-or-move decisions for the route map (see Coordinator.h).
#include "Coordinator.h"

#include "LocalizedString.h"

namespace {
constexpr const char* kStartTitle = QT_TRANSLATE_NOOP("Veldrin", "Start");
constexpr const char* kEndTitle = QT_TRANSLATE_NOOP("Veldrin", "End");
constexpr qsizetype kMinimumPointsForEndMark = 2;
} // namespace

Coordinator::Outcome Coordinator::update(const RouteInputs& inputs) {
    Outcome outcome;
    if (inputs.coordinates.isEmpty())
        return outcome;
    const bool sameRoute = m_routeID == inputs.routeID && m_routeCount == inputs.coordinates.size();
    if (!sameRoute) {
        rebuild(inputs);
        outcome.rebuilt = true;
    }

    const RouteShape& shape = m_renderer->shape();
    std::optional<GeoCoordinate> car = inputs.currentCoordinate;
    if (!car && inputs.currentProgress)
        car = shape.coordinateAtProgress(*inputs.currentProgress);
    if (!car)
        car = shape.coordinates().first();
    outcome.carChanged = m_renderer->updateCar(*car, inputs.currentHeading.value_or(0.0));
    return outcome;
}

void Coordinator::rebuild(const RouteInputs& inputs) {
    m_renderer.emplace(RouteShape(inputs.coordinates));
    m_marks.clear();
    m_marks.append({inputs.coordinates.first(), localizedString(kStartTitle)});
    if (inputs.coordinates.size() >= kMinimumPointsForEndMark)
        m_marks.append({inputs.coordinates.last(), localizedString(kEndTitle)});
    m_routeID = inputs.routeID;
    m_routeCount = inputs.coordinates.size();
    ++m_rebuildCount;
}
