// Every user-visible text passes through here: the English text is the key, looked up in the
// installed translation (one context), and printf-style arguments are filled ("%d", "%@",
// "%.1f", "%%", ...), or numbered ones ("%1" to "%9"), which a translation may reorder. Texts
// kept in C++ constants are marked with QT_TRANSLATE_NOOP in that context, so that lupdate
// finds them. Numbers are written as the C locale writes them in every language.
#pragma once

#include <QLocale>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// The one translation context of the application's texts.
inline constexpr const char* kLocalizedStringContext = "Veldrin";

// The translated text for `key`, or `key` itself when there is no translation.
QString localizedString(const QString& key);
// The translated `key` used as a printf-style format for `arguments`, numbers in the C locale.
QString localizedStringWithArguments(const QString& key, const QVariantList& arguments);
// A text with a count: `key` holds "%n" and has plural forms in the translations; the other
// placeholders are filled from `arguments` as above.
QString localizedCountWithArguments(const QString& key, int count,
                                    const QVariantList& arguments = {});

template <typename... Rest>
QString localizedCount(const QString& key, int count, const Rest&... rest) {
    return localizedCountWithArguments(key, count, QVariantList{QVariant::fromValue(rest)...});
}

template <typename First, typename... Rest>
QString localizedString(const QString& key, const First& first, const Rest&... rest) {
    return localizedStringWithArguments(
        key, QVariantList{QVariant::fromValue(first), QVariant::fromValue(rest)...});
}

// Fills a printf-style `format` under `locale`. Supports the flags "-+ 0#", a width, a
// precision, the length modifiers (ignored) and the conversions d i u o x X f F e E g G s @ c
// and %%, and "%1" to "%9" (the arguments by number, as "%@") where no digit, "." or
// conversion letter follows. An unknown conversion or a missing argument is copied through as
// written.
QString formatWithLocale(const QString& format, const QVariantList& arguments,
                         const QLocale& locale);

// `value` as printf's "%.<precision><conversion>" (f, e or g) gives it in the C locale:
// the same digits and rounding, a point as the decimal separator.
QString formatCNumber(double value, char conversion, int precision);

// Installs the application's translation for `locale`, with Qt's own (shortcut names, the
// file dialogs' buttons) where the system has it, replacing earlier ones, and makes
// `locale` the default. English, or a language without a translation, leaves the keys
// themselves, with only their plural forms translated. Returns true when the language's own
// translation was installed.
bool installTranslation(const QLocale& locale);

// Formatting and shortcut names for QML, as the singleton `Strings`: one per engine, which
// deletes it. QML looks plain texts up with qsTranslate in the same context, where lupdate
// finds them.
class LocalizedStrings : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Strings)
    QML_SINGLETON

public:
    using QObject::QObject;
    Q_INVOKABLE QString format(const QString& key, const QVariantList& arguments) const {
        return localizedStringWithArguments(key, arguments);
    }
    // A shortcut ("Ctrl+O") as the menus show it in the current language ("Strg+O").
    Q_INVOKABLE QString shortcut(const QString& portable) const;
};
