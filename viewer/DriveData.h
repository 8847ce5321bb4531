// The drive of what is loaded, for the timeline, the events list and the map: its series
// (per-row values and spans, in seconds of the clip or of the trip) and its driving events.
// A clip fills it from its table and duration; a trip hands over a series built from its
// moments. `changed` fires whenever the drive is replaced.
#pragma once

#include "DriveSeries.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

// The name users read for an event kind, in the interface's language.
QString eventDisplayName(analysis::EventKind kind);

class DriveData : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("DriveData belongs to a ContentView")
    Q_PROPERTY(bool hasData READ hasData NOTIFY changed)
    Q_PROPERTY(double duration READ duration NOTIFY changed)
    // One map per event in time order: time (seconds), clock (its text), kind (its command-line
    // name), name (localized), value (with its unit, or the assistance state; empty for a stop).
    Q_PROPERTY(QVariantList events READ events NOTIFY changed)

public:
    // The colour (0xRRGGBB) each event kind is marked in, by analysis::EventKind.
    static constexpr std::array<unsigned, 6> kEventColours = {0xff3b30, 0x34c759, 0xff9500,
                                                              0x0a84ff, 0x8e8e93, 0xffffff};
    static unsigned colourOf(analysis::EventKind kind) {
        return kEventColours[static_cast<std::size_t>(kind)];
    }
    // An event's list entry seeks this much before it, so the lead-up is seen.
    static constexpr double kEventLeadSeconds = 3.0;

    explicit DriveData(QObject* parent = nullptr);

    bool hasData() const { return series_.size() > 0; }
    double duration() const { return series_.duration; }
    QVariantList events() const { return eventEntries_; }

    const analysis::DriveSeries& series() const { return series_; }
    const std::vector<analysis::DrivingEvent>& drivingEvents() const { return events_; }
    // The row behind each point of the route built from the same rows.
    const std::vector<std::size_t>& routeRows() const { return routeRows_; }
    // The row whose fix an event is pinned at on the map (analysis::routePointAt), or none.
    std::optional<std::size_t> eventRow(const analysis::DrivingEvent& event) const;

    // A clip: built once both its table and a positive duration are known.
    void setClipSource(std::shared_ptr<const analysis::TelemetryTable> table);
    // `timed` false: the duration counts rows, not seconds, so no events are found.
    void setClipDuration(double seconds, bool timed = true);
    // A trip (or any other whole): replaces what a clip gave, until the next clip source.
    void setDrive(analysis::DriveSeries series, std::vector<analysis::DrivingEvent> events);
    void clear();

    // The first event after `seconds` (or the last before it), or -1 when there is none.
    Q_INVOKABLE double nextEventTime(double seconds) const;
    Q_INVOKABLE double previousEventTime(double seconds) const;
    // "m:ss.s", as the timeline and the events list show a time.
    static QString clockText(double seconds);
    // Where an event's entry seeks to.
    Q_INVOKABLE double leadInTime(double eventTime) const;

signals:
    void changed();

private:
    void rebuildClip();
    bool clipTimed_ = true;
    void publish(analysis::DriveSeries series, std::vector<analysis::DrivingEvent> events);

    std::shared_ptr<const analysis::TelemetryTable> clipTable_;
    double clipDuration_ = 0.0;
    analysis::DriveSeries series_;
    std::vector<analysis::DrivingEvent> events_;
    std::vector<std::size_t> routeRows_;
    QVariantList eventEntries_;
};
