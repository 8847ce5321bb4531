// The save panel of Export Route: the desktop's own where it has one, else the Qt Widgets one.
// Driven from C++ because the QML panel reports the file type chosen in an earlier panel, not in
// this one; the type is read from the panel itself when Save is pressed.
#pragma once

class ClipSources;
class QWindow;

// Opens the panel over `parent` with the proposed name; on Save, asks before replacing a file
// under the final name the panel did not ask about, then writes the route through `sources`.
void openRouteSavePanel(ClipSources* sources, QWindow* parent);
