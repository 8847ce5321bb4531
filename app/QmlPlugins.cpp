// Pulls the statically linked QML modules of the studio into the program that links it.
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Veldrin_AppPlugin)
Q_IMPORT_QML_PLUGIN(Veldrin_ViewsPlugin)
