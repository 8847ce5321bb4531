// The process-wide objects QML reaches by name. Declared here rather than on the classes: Qt
// would build a default-constructible class anew for each engine instead of asking create().
#pragma once

#include "Commands.h"
#include "VeldrinApp.h"

#include <QtQml/qqmlregistration.h>

class QJSEngine;
class QQmlEngine;

// `Commands`: the menus' commands, shared by every window; no engine may delete them.
struct CommandsSingleton {
    Q_GADGET
    QML_FOREIGN(Commands)
    QML_NAMED_ELEMENT(Commands)
    QML_SINGLETON

public:
    static Commands* create(QQmlEngine*, QJSEngine*);
};

// `Shell`: the running application; no engine may delete it.
struct ShellSingleton {
    Q_GADGET
    QML_FOREIGN(VeldrinApp)
    QML_NAMED_ELEMENT(Shell)
    QML_SINGLETON

public:
    static VeldrinApp* create(QQmlEngine*, QJSEngine*);
};
