<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Veldrin</name>
    <message>
        <source>Drop an MP4 file to begin</source>
        <translation>Legen Sie eine MP4-Datei ab, um zu beginnen</translation>
    </message>
    <message>
        <source>No file loaded</source>
        <translation>Keine Datei geladen</translation>
    </message>
    <message>
        <source>No metadata loaded</source>
        <translation>Keine Metadaten geladen</translation>
    </message>
    <message>
        <source>No metadata output</source>
        <translation>Keine Metadatenausgabe</translation>
    </message>
    <message>
        <source>No SEI metadata found. Orvik firmware 2025.44.25 or later and QB5 or above are required; parked clips may lack SEI data.</source>
        <translation>Keine SEI-Metadaten gefunden. Erforderlich sind Orvik-Firmware 2025.44.25 oder neuer und QB5 oder höher; geparkten Clips können SEI-Daten fehlen.</translation>
    </message>
    <message>
        <source>Rows: %d</source>
        <translation>Zeilen: %d</translation>
    </message>
    <message>
        <source>True</source>
        <translation>Wahr</translation>
    </message>
    <message>
        <source>False</source>
        <translation>Falsch</translation>
    </message>
    <message>
        <source>DRIVE</source>
        <translation>FAHRT</translation>
    </message>
    <message>
        <source>PARK</source>
        <translation>PARKEN</translation>
    </message>
    <message>
        <source>REVERSE</source>
        <translation>RÜCKWÄRTS</translation>
    </message>
    <message>
        <source>NEUTRAL</source>
        <translation>LEERLAUF</translation>
    </message>
    <message>
        <source>IDLE</source>
        <translation>INAKTIV</translation>
    </message>
    <message>
        <source>FULL_GUIDE</source>
        <translation>VOLLE FÜHRUNG</translation>
    </message>
    <message>
        <source>LANE_GUIDE</source>
        <translation>SPURFÜHRUNG</translation>
    </message>
    <message>
        <source>PACE_GUIDE</source>
        <translation>TEMPOFÜHRUNG</translation>
    </message>
    <message>
        <source>Current gear: %@</source>
        <translation>Aktueller Gang: %@</translation>
    </message>
    <message>
        <source>Switch between km/h and mph</source>
        <translation>Zwischen km/h und mph umschalten</translation>
    </message>
    <message>
        <source>Steering angle: %.1f°</source>
        <translation>Lenkwinkel: %.1f°</translation>
    </message>
    <message>
        <source>Accelerator pedal: %d%%</source>
        <translation>Fahrpedal: %d %%</translation>
    </message>
    <message>
        <source>Brake applied</source>
        <translation>Bremse betätigt</translation>
    </message>
    <message>
        <source>Brake not applied</source>
        <translation>Bremse nicht betätigt</translation>
    </message>
    <message>
        <source>Driver assistance: %@</source>
        <translation>Fahrassistenz: %@</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Steering</source>
        <translation>Lenkung</translation>
    </message>
    <message>
        <source>Gear</source>
        <translation>Gang</translation>
    </message>
    <message>
        <source>NV</source>
        <translation>NV</translation>
    </message>
    <message>
        <source>Accelerator Pedal Position</source>
        <translation>Fahrpedalstellung</translation>
    </message>
    <message>
        <source>Navark State</source>
        <translation>Navark-Zustand</translation>
    </message>
    <message>
        <source>Blinker On Left</source>
        <translation>Blinker links</translation>
    </message>
    <message>
        <source>Blinker On Right</source>
        <translation>Blinker rechts</translation>
    </message>
    <message>
        <source>Brake Applied</source>
        <translation>Bremse betätigt</translation>
    </message>
    <message>
        <source>Frame Seq No</source>
        <translation>Bild-Sequenznr.</translation>
    </message>
    <message>
        <source>Vehicle Speed Mps</source>
        <translation>Fahrzeuggeschwindigkeit m/s</translation>
    </message>
    <message>
        <source>Steering Wheel Angle</source>
        <translation>Lenkradwinkel</translation>
    </message>
    <message>
        <source>Latitude Deg</source>
        <translation>Breitengrad</translation>
    </message>
    <message>
        <source>Longitude Deg</source>
        <translation>Längengrad</translation>
    </message>
    <message>
        <source>Heading Deg</source>
        <translation>Kurs (Grad)</translation>
    </message>
    <message>
        <source>Linear Acceleration Mps2 X</source>
        <translation>Lineare Beschleunigung m/s² X</translation>
    </message>
    <message>
        <source>Linear Acceleration Mps2 Y</source>
        <translation>Lineare Beschleunigung m/s² Y</translation>
    </message>
    <message>
        <source>Linear Acceleration Mps2 Z</source>
        <translation>Lineare Beschleunigung m/s² Z</translation>
    </message>
</context>
</TS>
