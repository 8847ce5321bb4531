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
        <source>Rows: %1</source>
        <translation>Zeilen: %1</translation>
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
        <source>Current gear: %1</source>
        <translation>Aktueller Gang: %1</translation>
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
        <source>Accelerator pedal: %1%%</source>
        <translation>Fahrpedal: %1 %%</translation>
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
        <source>Driver assistance: %1</source>
        <translation>Fahrassistenz: %1</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Tempo</translation>
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
        <translation>Tempo m/s</translation>
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
    <message>
        <source>MP4 rejected: empty, oversized, or unreadable file</source>
        <translation>MP4 abgelehnt: leere, zu große oder unlesbare Datei</translation>
    </message>
    <message>
        <source>Could not access dropped file</source>
        <translation>Auf die abgelegte Datei konnte nicht zugegriffen werden</translation>
    </message>
    <message>
        <source>Checking %1</source>
        <translation>Prüfe %1</translation>
    </message>
    <message>
        <source>Extracting metadata...</source>
        <translation>Metadaten werden extrahiert...</translation>
    </message>
    <message>
        <source>Copying clip... %1%%</source>
        <translation>Clip wird kopiert... %1 %%</translation>
    </message>
    <message>
        <source>The staging folder is a link or belongs to another user; clips are not copied there</source>
        <translation>Der Zwischenordner ist ein Link oder gehört einem anderen Benutzer; dorthin werden keine Clips kopiert</translation>
    </message>
    <message>
        <source>MP4 rejected: %1</source>
        <translation>MP4 abgelehnt: %1</translation>
    </message>
    <message>
        <source>Loaded %1</source>
        <translation>%1 geladen</translation>
    </message>
    <message>
        <source>No supported Orvik SEI metadata found. Older or parked Orvik clips may lack it.</source>
        <translation>Keine unterstützten Orvik-SEI-Metadaten gefunden. Älteren oder geparkten Orvik-Clips können sie fehlen.</translation>
    </message>
    <message>
        <source>Unsupported MP4: no Orvik SEI metadata</source>
        <translation>Nicht unterstützte MP4: keine Orvik-SEI-Metadaten</translation>
    </message>
    <message>
        <source>Only .mp4 files are supported</source>
        <translation>Nur .mp4-Dateien werden unterstützt</translation>
    </message>
    <message numerus="yes">
        <source>Batch playback complete (%n clips)</source>
        <translation>
            <numerusform>Stapelwiedergabe abgeschlossen (%n Clip)</numerusform>
            <numerusform>Stapelwiedergabe abgeschlossen (%n Clips)</numerusform>
        </translation>
    </message>
    <message>
        <source>Batch clip %1/%2: %3</source>
        <translation>Stapelclip %1/%2: %3</translation>
    </message>
    <message>
        <source>Could not open folder</source>
        <translation>Ordner konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>No MP4 clips in folder</source>
        <translation>Keine MP4-Clips im Ordner</translation>
    </message>
    <message>
        <source>Listing folder...</source>
        <translation>Ordner wird gelesen...</translation>
    </message>
    <message numerus="yes">
        <source>Folder loaded (%n clips)</source>
        <translation>
            <numerusform>Ordner geladen (%n Clip)</numerusform>
            <numerusform>Ordner geladen (%n Clips)</numerusform>
        </translation>
    </message>
    <message>
        <source>scan %1/%2</source>
        <translation>Prüfung %1/%2</translation>
    </message>
    <message>
        <source> • Clip %1/%2</source>
        <translation> • Clip %1/%2</translation>
    </message>
    <message>
        <source> • visible: %1/%2</source>
        <translation> • sichtbar: %1/%2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n clips%2 • Metadata: %3%4</source>
        <translation>
            <numerusform>%1: %n Clip%2 • Metadaten: %3%4</numerusform>
            <numerusform>%1: %n Clips%2 • Metadaten: %3%4</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n clips%1 • Metadata: %2%3</source>
        <translation>
            <numerusform>%n Clip%1 • Metadaten: %2%3</numerusform>
            <numerusform>%n Clips%1 • Metadaten: %2%3</numerusform>
        </translation>
    </message>
    <message>
        <source>Only with metadata</source>
        <translation>Nur mit Metadaten</translation>
    </message>
    <message>
        <source>Select Orvik Dashcam MP4</source>
        <translation>Orvik-Dashcam-MP4 auswählen</translation>
    </message>
    <message>
        <source>Select Folder With Orvik MP4 Clips</source>
        <translation>Ordner mit Orvik-MP4-Clips auswählen</translation>
    </message>
    <message>
        <source>CSV exported to %1</source>
        <translation>CSV exportiert nach %1</translation>
    </message>
    <message>
        <source>Failed to export CSV</source>
        <translation>CSV-Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>Export Route...</source>
        <translation>Route exportieren...</translation>
    </message>
    <message>
        <source>Export Route</source>
        <translation>Route exportieren</translation>
    </message>
    <message>
        <source>Route exported to %1</source>
        <translation>Route exportiert nach %1</translation>
    </message>
    <message>
        <source>Failed to export route</source>
        <translation>Routen-Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>GPS Exchange Format</source>
        <translation>GPS-Austauschformat</translation>
    </message>
    <message>
        <source>GeoJSON</source>
        <translation>GeoJSON</translation>
    </message>
    <message>
        <source>Keyhole Markup Language</source>
        <translation>Keyhole Markup Language</translation>
    </message>
    <message>
        <source>Recover telemetry</source>
        <translation>Telemetrie retten</translation>
    </message>
    <message numerus="yes">
        <source>Clip cut short: telemetry recovered from %n frames; the video cannot be played</source>
        <translation>
            <numerusform>Clip abgeschnitten: Telemetrie aus %n Bild gerettet; das Video lässt sich nicht abspielen</numerusform>
            <numerusform>Clip abgeschnitten: Telemetrie aus %n Bildern gerettet; das Video lässt sich nicht abspielen</numerusform>
        </translation>
    </message>
    <message>
        <source>Recovered telemetry of %1</source>
        <translation>Telemetrie von %1 gerettet</translation>
    </message>
    <message>
        <source>Export Evidence...</source>
        <translation>Beweissicherung exportieren...</translation>
    </message>
    <message>
        <source>Export Evidence</source>
        <translation>Beweissicherung exportieren</translation>
    </message>
    <message>
        <source>Writing evidence...</source>
        <translation>Beweissicherung wird geschrieben...</translation>
    </message>
    <message>
        <source>Evidence written to %1</source>
        <translation>Beweissicherung geschrieben nach %1</translation>
    </message>
    <message>
        <source>Failed to export evidence: %1</source>
        <translation>Export der Beweissicherung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>MP4 exceeds the 1 GB safety limit</source>
        <translation>MP4 überschreitet die Sicherheitsgrenze von 1 GB</translation>
    </message>
    <message>
        <source>not a supported MP4 container</source>
        <translation>kein unterstützter MP4-Container</translation>
    </message>
    <message>
        <source>mdat atom not found</source>
        <translation>mdat-Atom nicht gefunden</translation>
    </message>
    <message>
        <source>truncated extended atom size</source>
        <translation>abgeschnittene erweiterte Atomgröße</translation>
    </message>
    <message>
        <source>invalid MP4 atom size</source>
        <translation>ungültige MP4-Atomgröße</translation>
    </message>
    <message>
        <source>MP4 atom extends beyond file</source>
        <translation>MP4-Atom reicht über das Dateiende hinaus</translation>
    </message>
    <message>
        <source>invalid MP4 file header</source>
        <translation>ungültiger MP4-Dateikopf</translation>
    </message>
    <message>
        <source>too many video blocks</source>
        <translation>zu viele Videoblöcke</translation>
    </message>
    <message>
        <source>invalid video block size</source>
        <translation>ungültige Videoblockgröße</translation>
    </message>
    <message>
        <source>SEI block exceeds safety limit</source>
        <translation>SEI-Block überschreitet die Sicherheitsgrenze</translation>
    </message>
    <message>
        <source>too many metadata rows</source>
        <translation>zu viele Metadatenzeilen</translation>
    </message>
    <message>
        <source>Drop now</source>
        <translation>Jetzt ablegen</translation>
    </message>
    <message>
        <source>Drop MP4 here</source>
        <translation>MP4 hier ablegen</translation>
    </message>
    <message>
        <source>Veldrin Studio</source>
        <translation>Veldrin Studio</translation>
    </message>
    <message>
        <source>Native playback + SEI metadata extraction</source>
        <translation>Native Wiedergabe + Extraktion der SEI-Metadaten</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>SEI Metadata</source>
        <translation>SEI-Metadaten</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Diagnose</translation>
    </message>
    <message>
        <source>GPS Route</source>
        <translation>GPS-Route</translation>
    </message>
    <message>
        <source>Load a supported Orvik MP4 clip to see metadata</source>
        <translation>Laden Sie einen unterstützten Orvik-MP4-Clip, um Metadaten zu sehen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>km/h</source>
        <translation>km/h</translation>
    </message>
    <message>
        <source>mph</source>
        <translation>mph</translation>
    </message>
    <message>
        <source>Speed unit</source>
        <translation>Geschwindigkeitseinheit</translation>
    </message>
    <message>
        <source>Show only clips with SEI metadata in the batch list</source>
        <translation>In der Stapelliste nur Clips mit SEI-Metadaten anzeigen</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Open Video...</source>
        <translation>Video öffnen...</translation>
    </message>
    <message>
        <source>Open Batch Folder...</source>
        <translation>Stapelordner öffnen...</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>CSV exportieren...</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Werkzeuge</translation>
    </message>
    <message>
        <source>Show Main Window</source>
        <translation>Hauptfenster anzeigen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Quick Guide</source>
        <translation>Kurzanleitung</translation>
    </message>
    <message>
        <source>Dashcam Reference (GitHub)</source>
        <translation>Dashcam-Referenz (GitHub)</translation>
    </message>
    <message>
        <source>Report a Problem (GitHub Issues)</source>
        <translation>Problem melden (GitHub Issues)</translation>
    </message>
    <message>
        <source>Veldrin Quick Guide</source>
        <translation>Veldrin-Kurzanleitung</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>MPEG-4 movie</source>
        <translation>MPEG-4-Film</translation>
    </message>
    <message>
        <source>Comma-separated values</source>
        <translation>Kommagetrennte Werte</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Export Telemetry CSV</source>
        <translation>Telemetrie-CSV exportieren</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n telemetry units could not be read</source>
        <translation>
            <numerusform>%1 von %n Telemetrieeinheit konnte nicht gelesen werden</numerusform>
            <numerusform>%1 von %n Telemetrieeinheiten konnten nicht gelesen werden</numerusform>
        </translation>
    </message>
    <message>
        <source>Muted</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>%g×</source>
        <translation>%g×</translation>
    </message>
    <message>
        <source>Fit route</source>
        <translation>Route einpassen</translation>
    </message>
    <message>
        <source>Follow car</source>
        <translation>Auto folgen</translation>
    </message>
    <message>
        <source>Map tiles unavailable</source>
        <translation>Kartenkacheln nicht verfügbar</translation>
    </message>
    <message>
        <source>Map file not found: %@. The online map is shown instead.</source>
        <translation>Kartendatei nicht gefunden: %@. Stattdessen wird die Online-Karte gezeigt.</translation>
    </message>
    <message>
        <source>Map file cannot be read: %@. The online map is shown instead.</source>
        <translation>Kartendatei nicht lesbar: %@. Stattdessen wird die Online-Karte gezeigt.</translation>
    </message>
    <message>
        <source>Not a raster MBTiles map: %@. The online map is shown instead.</source>
        <translation>Keine MBTiles-Rasterkarte: %@. Stattdessen wird die Online-Karte gezeigt.</translation>
    </message>
    <message>
        <source>Map tiles</source>
        <translation>Kartenkacheln</translation>
    </message>
    <message>
        <source>An online map's URL template with {z}, {x} and {y}, or an MBTiles file for maps without a network</source>
        <translation>URL-Vorlage einer Online-Karte mit {z}, {x} und {y} oder eine MBTiles-Datei für Karten ohne Netz</translation>
    </message>
    <message>
        <source>Choose File…</source>
        <translation>Datei wählen…</translation>
    </message>
    <message>
        <source>Default online map</source>
        <translation>Standard-Online-Karte</translation>
    </message>
    <message>
        <source>Attribution of the online map</source>
        <translation>Quellenangabe der Online-Karte</translation>
    </message>
    <message>
        <source>Map cache (MB)</source>
        <translation>Kartenzwischenspeicher (MB)</translation>
    </message>
    <message>
        <source>Clear map cache</source>
        <translation>Kartenzwischenspeicher leeren</translation>
    </message>
    <message>
        <source>Choose Map File</source>
        <translation>Kartendatei wählen</translation>
    </message>
    <message>
        <source>MBTiles map</source>
        <translation>MBTiles-Karte</translation>
    </message>
    <message>
        <source>Hard braking</source>
        <translation>Starkes Bremsen</translation>
    </message>
    <message>
        <source>Hard acceleration</source>
        <translation>Starke Beschleunigung</translation>
    </message>
    <message>
        <source>Sharp turn</source>
        <translation>Scharfe Kurve</translation>
    </message>
    <message>
        <source>Assistance on</source>
        <translation>Assistenz ein</translation>
    </message>
    <message>
        <source>Assistance off</source>
        <translation>Assistenz aus</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Halt</translation>
    </message>
    <message>
        <source>%.1f m/s²</source>
        <translation>%.1f m/s²</translation>
    </message>
    <message>
        <source>%d:%04.1f</source>
        <translation>%d:%04.1f</translation>
    </message>
    <message>
        <source>%1 · %2 %3 · Pedal %4%%</source>
        <translation>%1 · %2 %3 · Pedal %4%%</translation>
    </message>
    <message>
        <source> · Brake</source>
        <translation> · Bremse</translation>
    </message>
    <message>
        <source>%d %@</source>
        <translation>%d %@</translation>
    </message>
    <message>
        <source>Events (%d)</source>
        <translation>Ereignisse (%d)</translation>
    </message>
    <message>
        <source>Plain</source>
        <translation>Einfarbig</translation>
    </message>
    <message>
        <source>Assistance</source>
        <translation>Assistenz</translation>
    </message>
    <message>
        <source>Assisted</source>
        <translation>Mit Assistenz</translation>
    </message>
    <message>
        <source>Not assisted</source>
        <translation>Ohne Assistenz</translation>
    </message>
    <message>
        <source>Route colours</source>
        <translation>Routenfarben</translation>
    </message>
    <message>
        <source>Trips</source>
        <translation>Fahrten</translation>
    </message>
    <message>
        <source>Clips</source>
        <translation>Clips</translation>
    </message>
    <message>
        <source>Camera %1 stopped: its file could not be read</source>
        <translation>Kamera %1 angehalten: ihre Datei lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>Camera %1 stopped: its file ends early</source>
        <translation>Kamera %1 angehalten: ihre Datei endet vorzeitig</translation>
    </message>
    <message numerus="yes">
        <source>Trip %1 (%n moments)</source>
        <translation>
            <numerusform>Fahrt %1 (%n Abschnitt)</numerusform>
            <numerusform>Fahrt %1 (%n Abschnitte)</numerusform>
        </translation>
    </message>
    <message>
        <source>telemetry</source>
        <translation>Telemetrie</translation>
    </message>
    <message>
        <source>no telemetry</source>
        <translation>keine Telemetrie</translation>
    </message>
    <message>
        <source> • scan %1/%2</source>
        <translation> • Prüfung %1/%2</translation>
    </message>
    <message numerus="yes">
        <source>Batch playback complete (%n trips)</source>
        <translation>
            <numerusform>Stapelwiedergabe abgeschlossen (%n Fahrt)</numerusform>
            <numerusform>Stapelwiedergabe abgeschlossen (%n Fahrten)</numerusform>
        </translation>
    </message>
    <message>
        <source>No telemetry in this moment</source>
        <translation>Keine Telemetrie in diesem Abschnitt</translation>
    </message>
    <message>
        <source>Export Trip CSV...</source>
        <translation>Fahrt als CSV exportieren...</translation>
    </message>
    <message>
        <source>Export Trip CSV</source>
        <translation>Fahrt als CSV exportieren</translation>
    </message>
    <message>
        <source>Camera stopped: its file can no longer be read</source>
        <translation>Kamera angehalten: Ihre Datei ist nicht mehr lesbar</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>No clip of this camera here</source>
        <translation>Kein Clip dieser Kamera hier</translation>
    </message>
    <!-- Quick Guide -->
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>Trips and cameras</source>
        <translation>Fahrten und Kameras</translation>
    </message>
    <message>
        <source>Exports</source>
        <translation>Exporte</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Leertaste</translation>
    </message>
    <message>
        <source>Play or pause</source>
        <translation>Abspielen oder anhalten</translation>
    </message>
    <message>
        <source>Back or ahead 5 seconds; with Shift 1 second</source>
        <translation>5 Sekunden zurück oder vor; mit Umschalt 1 Sekunde</translation>
    </message>
    <message>
        <source>Previous or next frame</source>
        <translation>Vorheriges oder nächstes Bild</translation>
    </message>
    <message>
        <source>Slower or faster; play faster; pause</source>
        <translation>Langsamer oder schneller; schneller abspielen; anhalten</translation>
    </message>
    <message>
        <source>Next driving event; with Shift the previous one</source>
        <translation>Nächstes Fahrereignis; mit Umschalt das vorherige</translation>
    </message>
    <message>
        <source>That camera large; all cameras at once</source>
        <translation>Diese Kamera groß; alle Kameras zugleich</translation>
    </message>
    <message>
        <source>Sound off or on</source>
        <translation>Ton aus oder an</translation>
    </message>
    <message>
        <source>Escape</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Leave full screen (a double click on the video enters it)</source>
        <translation>Vollbild verlassen (ein Doppelklick auf das Video öffnet es)</translation>
    </message>
    <message>
        <source>Open a clip</source>
        <translation>Einen Clip öffnen</translation>
    </message>
    <message>
        <source>Export the telemetry as CSV</source>
        <translation>Die Telemetrie als CSV exportieren</translation>
    </message>
    <message>
        <source>Open a clip with File &gt; Open Video or drop it on the window; its telemetry shows on the video, in the cards and the grid on the right, on the map and along the timeline.</source>
        <translation>Öffnen Sie einen Clip mit Datei &gt; Video öffnen oder legen Sie ihn im Fenster ab; seine Telemetrie erscheint auf dem Video, in den Karten und dem Raster rechts, auf der Karte und entlang der Zeitleiste.</translation>
    </message>
    <message>
        <source>File &gt; Open Batch Folder lists a folder's clips. Clips named by their start, such as 2024-05-01_10-00-00-front.mp4, that follow one another within seconds form a trip, played as one drive. Clips of the same start from other cameras (back, left, right) play in step: small under the video, or large with 1-9, all together with G.</source>
        <translation>Datei &gt; Stapelordner öffnen listet die Clips eines Ordners. Clips, die nach ihrem Beginn benannt sind, etwa 2024-05-01_10-00-00-front.mp4, und binnen Sekunden aufeinander folgen, bilden eine Fahrt, die am Stück abgespielt wird. Clips desselben Beginns von anderen Kameras (back, left, right) laufen im Gleichschritt mit: klein unter dem Video, groß mit 1-9, alle zusammen mit G.</translation>
    </message>
    <message>
        <source>File &gt; Export CSV, Export Trip CSV and Export Route (GPX, GeoJSON or KML) propose a file beside the clip; you choose the folder and name in the save panel. Export Evidence writes a folder NAME_evidence with the clip, its telemetry and their checksums into the folder you choose.</source>
        <translation>Datei &gt; CSV exportieren, Fahrt als CSV exportieren und Route exportieren (GPX, GeoJSON oder KML) schlagen eine Datei neben dem Clip vor; Ordner und Name wählen Sie im Speicherdialog. Beweissicherung exportieren schreibt einen Ordner NAME_evidence mit dem Clip, seiner Telemetrie und deren Prüfsummen in den gewählten Ordner.</translation>
    </message>
    <message>
        <source>Export Telemetry CSV of %1</source>
        <translation>Telemetrie-CSV von %1 exportieren</translation>
    </message>
    <message>
        <source>Export Evidence of %1</source>
        <translation>Beweissicherung von %1 exportieren</translation>
    </message>
    <message>
        <source>Export Trip Route</source>
        <translation>Route der Fahrt exportieren</translation>
    </message>
    <message>
        <source>Writing route...</source>
        <translation>Route wird geschrieben...</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists. Do you want to replace it?</source>
        <translation>„%1“ ist bereits vorhanden. Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Could not open %1: no such file</source>
        <translation>%1 konnte nicht geöffnet werden: Datei nicht vorhanden</translation>
    </message>
    <message>
        <source>In use: %1, from %2, which overrides this setting</source>
        <translation>Verwendet: %1, aus %2, das diese Einstellung übersteuert</translation>
    </message>
    <message>
        <source>In use: %1, from this setting</source>
        <translation>Verwendet: %1, aus dieser Einstellung</translation>
    </message>
    <message>
        <source>In use: the default online map</source>
        <translation>Verwendet: die Standard-Online-Karte</translation>
    </message>
    <message>
        <source>frame %d of %d</source>
        <translation>Bild %d von %d</translation>
    </message>
</context>
</TS>
