<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Veldrin</name>
    <message numerus="yes">
        <source>Batch playback complete (%n clips)</source>
        <translation>
            <numerusform>Batch playback complete (%n clip)</numerusform>
            <numerusform>Batch playback complete (%n clips)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Folder loaded (%n clips)</source>
        <translation>
            <numerusform>Folder loaded (%n clip)</numerusform>
            <numerusform>Folder loaded (%n clips)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n clips%2 • Metadata: %3%4</source>
        <translation>
            <numerusform>%1: %n clip%2 • Metadata: %3%4</numerusform>
            <numerusform>%1: %n clips%2 • Metadata: %3%4</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n clips%1 • Metadata: %2%3</source>
        <translation>
            <numerusform>%n clip%1 • Metadata: %2%3</numerusform>
            <numerusform>%n clips%1 • Metadata: %2%3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Trip %1 (%n moments)</source>
        <translation>
            <numerusform>Trip %1 (%n moment)</numerusform>
            <numerusform>Trip %1 (%n moments)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Batch playback complete (%n trips)</source>
        <translation>
            <numerusform>Batch playback complete (%n trip)</numerusform>
            <numerusform>Batch playback complete (%n trips)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Clip cut short: telemetry recovered from %n frames; the video cannot be played</source>
        <translation>
            <numerusform>Clip cut short: telemetry recovered from %n frame; the video cannot be played</numerusform>
            <numerusform>Clip cut short: telemetry recovered from %n frames; the video cannot be played</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n telemetry units could not be read</source>
        <translation>
            <numerusform>%1 of %n telemetry unit could not be read</numerusform>
            <numerusform>%1 of %n telemetry units could not be read</numerusform>
        </translation>
    </message>
</context>
</TS>
