// Pulls the statically linked QML modules of the studio into the program that links it.
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Veldrin_PlatformPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_ViewerPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_SourcesPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_PlaybackPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_TimelinePlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_MapPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_AppPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_ViewsPlugin)
