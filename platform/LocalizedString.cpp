// Text lookup and locale-aware printf-style formatting; see LocalizedString.h.
#include "LocalizedString.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QLibraryInfo>
#include <QTranslator>

#include <charconv>
#include <cmath>

namespace {

constexpr const char* kTranslationPathPattern = ":/i18n/veldrin_%1.qm";
constexpr const char* kPluralOnlyLanguage = "en";
// Qt's own texts: shortcut key names, standard dialog buttons.
constexpr const char* kQtCatalogue = "qtbase";

struct Conversion {
    bool leftAlign = false;
    bool plus = false;
    bool space = false;
    bool zeroPad = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
    QChar conversion;
};

QString pad(QString body, const Conversion& conversion, bool numeric) {
    if (body.size() >= conversion.width)
        return body;
    const qsizetype missing = conversion.width - body.size();
    if (conversion.leftAlign)
        return body + QString(missing, u' ');
    if (conversion.zeroPad && numeric) {
        // Zeros go after a sign.
        qsizetype at =
            (!body.isEmpty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' ')) ? 1 : 0;
        return body.insert(at, QString(missing, u'0'));
    }
    return QString(missing, u' ') + body;
}

QString signed_(QString body, bool negative, const Conversion& conversion, const QLocale& locale) {
    if (negative)
        return locale.negativeSign() + body;
    if (conversion.plus)
        return locale.positiveSign() + body;
    if (conversion.space)
        return u' ' + body;
    return body;
}

QString formatInteger(const QVariant& value, const Conversion& conversion, const QLocale& locale) {
    const QChar c = conversion.conversion;
    if (c == u'd' || c == u'i') {
        bool ok = false;
        qlonglong v = value.toLongLong(&ok);
        if (!ok)
            v = static_cast<qlonglong>(value.toDouble());
        const qulonglong magnitude =
            v < 0 ? static_cast<qulonglong>(-(v + 1)) + 1 : static_cast<qulonglong>(v);
        QString digits = locale.toString(magnitude);
        if (conversion.precision >= 0 && digits.size() < conversion.precision)
            digits =
                QString(conversion.precision - digits.size(), locale.zeroDigit().at(0)) + digits;
        return signed_(digits, v < 0, conversion, locale);
    }
    const qulonglong v = value.toULongLong();
    if (c == u'u')
        return locale.toString(v);
    const int base = c == u'o' ? 8 : 16;
    QString digits = QString::number(v, base);
    if (c == u'X')
        digits = digits.toUpper();
    if (conversion.alternate && v != 0)
        digits.prepend(base == 8 ? QStringLiteral("0")
                                 : (c == u'X' ? QStringLiteral("0X") : QStringLiteral("0x")));
    return digits;
}

QString formatFloating(double v, const Conversion& conversion, const QLocale& locale) {
    const QChar c = conversion.conversion;
    const bool upper = c.isUpper();
    if (std::isnan(v))
        return upper ? QStringLiteral("NAN") : QStringLiteral("nan");
    const bool negative = std::signbit(v);
    const double magnitude = std::fabs(v);
    QString body;
    if (std::isinf(magnitude)) {
        body = upper ? QStringLiteral("INF") : QStringLiteral("inf");
    } else {
        // printf's digits and rounding, with the locale's decimal separator.
        const int precision = conversion.precision < 0 ? 6 : conversion.precision;
        body = formatCNumber(magnitude, c.toLatin1(), precision);
        if (upper)
            body = body.toUpper();
        body.replace(u'.', locale.decimalPoint());
    }
    return signed_(body, negative, conversion, locale);
}

QString formatOne(const QVariant& value, const Conversion& conversion, const QLocale& locale) {
    const QChar c = conversion.conversion;
    if (c == u'd' || c == u'i' || c == u'u' || c == u'o' || c == u'x' || c == u'X')
        return pad(formatInteger(value, conversion, locale), conversion, true);
    if (QStringLiteral("fFeEgG").contains(c))
        return pad(formatFloating(value.toDouble(), conversion, locale), conversion, true);
    if (c == u'c')
        return pad(value.typeId() == QMetaType::QChar ? QString(value.toChar())
                                                      : QString(QChar(value.toInt())),
                   conversion, false);
    QString text = value.toString();
    if (conversion.precision >= 0)
        text.truncate(conversion.precision);
    return pad(text, conversion, false);
}

// "%1" to "%9" at `i` (after the "%"), not followed by what makes it a printf width:
// the argument's number, or 0.
int positionalArgument(const QString& format, qsizetype i, const QString& conversionLetters) {
    if (i >= format.size() || format[i] < u'1' || format[i] > u'9')
        return 0;
    const bool more = i + 1 < format.size();
    if (more && (format[i + 1].isDigit() || format[i + 1] == u'.' ||
                 conversionLetters.contains(format[i + 1])))
        return 0;
    return format[i].digitValue();
}

} // namespace

QString formatCNumber(double value, char conversion, int precision) {
    std::chars_format format = std::chars_format::fixed;
    if (conversion == 'e' || conversion == 'E')
        format = std::chars_format::scientific;
    else if (conversion == 'g' || conversion == 'G')
        format = std::chars_format::general;
    // Fixed notation of the largest double with the largest precision fits.
    char buffer[1400];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (result.ec != std::errc())
        return QString::number(value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString localizedString(const QString& key) {
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(kLocalizedStringContext, utf8.constData());
}

QString localizedStringWithArguments(const QString& key, const QVariantList& arguments) {
    const QString format = localizedString(key);
    if (arguments.isEmpty())
        return format;
    return formatWithLocale(format, arguments, QLocale::c());
}

QString localizedCountWithArguments(const QString& key, int count, const QVariantList& arguments) {
    const QByteArray utf8 = key.toUtf8();
    const QString format =
        QCoreApplication::translate(kLocalizedStringContext, utf8.constData(), nullptr, count);
    return arguments.isEmpty() ? format : formatWithLocale(format, arguments, QLocale::c());
}

QString formatWithLocale(const QString& format, const QVariantList& arguments,
                         const QLocale& baseLocale) {
    static const QString kFlags = QStringLiteral("-+ 0#");
    static const QString kLengths = QStringLiteral("hlLqjzt");
    static const QString kConversions = QStringLiteral("diuoxXfFeEgGs@c");
    // printf groups no digits.
    QLocale locale = baseLocale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    QString out;
    out.reserve(format.size() + 16);
    qsizetype nextArgument = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (format[i] != u'%') {
            out += format[i];
            continue;
        }
        const qsizetype start = i++;
        if (i < n && format[i] == u'%') {
            out += u'%';
            continue;
        }
        if (const int position = positionalArgument(format, i, kLengths + kConversions);
            position > 0 && position <= arguments.size()) {
            out += formatOne(arguments[position - 1], Conversion{}, locale);
            continue;
        }
        Conversion conversion;
        for (; i < n && kFlags.contains(format[i]); ++i) {
            const QChar f = format[i];
            conversion.leftAlign |= f == u'-';
            conversion.plus |= f == u'+';
            conversion.space |= f == u' ';
            conversion.zeroPad |= f == u'0';
            conversion.alternate |= f == u'#';
        }
        for (; i < n && format[i].isDigit(); ++i)
            conversion.width = std::min(conversion.width * 10 + format[i].digitValue(), 1000);
        if (i < n && format[i] == u'.') {
            conversion.precision = 0;
            for (++i; i < n && format[i].isDigit(); ++i)
                conversion.precision =
                    std::min(conversion.precision * 10 + format[i].digitValue(), 1000);
        }
        for (; i < n && kLengths.contains(format[i]); ++i) {
        }
        if (i >= n || !kConversions.contains(format[i]) || nextArgument >= arguments.size()) {
            // Not a conversion we can fill: keep the text as written.
            const qsizetype end = i < n ? i : n - 1;
            out += QStringView(format).mid(start, end - start + 1);
            i = end;
            continue;
        }
        conversion.conversion = format[i];
        out += formatOne(arguments[nextArgument++], conversion, locale);
    }
    return out;
}

QString LocalizedStrings::shortcut(const QString& portable) const {
    return QKeySequence(portable, QKeySequence::PortableText).toString(QKeySequence::NativeText);
}

namespace {

// Qt's catalogue for the language, from the system's Qt translations; none for English.
void installQtTranslation(const QLocale& locale) {
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (locale.language() == QLocale::English)
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QLatin1String(kQtCatalogue), QLatin1String("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

} // namespace

bool installTranslation(const QLocale& locale) {
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    QLocale::setDefault(locale);
    installQtTranslation(locale);
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString path = QString::fromLatin1(kTranslationPathPattern)
                             .arg(QLocale::languageToCode(locale.language()));
    // English keeps its keys but has its plural forms from a translation of their own.
    const bool translated = locale.language() != QLocale::English && translator->load(path);
    if (!translated &&
        !translator->load(
            QString::fromLatin1(kTranslationPathPattern).arg(QLatin1String(kPluralOnlyLanguage)))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return translated;
}
