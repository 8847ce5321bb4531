// How the windows look to a reader, in English and German, at a roomy and a laptop size:
// no text covers another, nothing is cut short that had room, menus show label and key.
#include "StudioDriver.h"

#include "LocalizedString.h"
#include "Settings.h"
#include "TestClips.h"
#include "VeldrinApp.h"

#include <gtest/gtest.h>

#include <QQmlListReference>
#include <QTest>

#include <chrono>
#include <memory>

using namespace studio;

namespace {

// Generous: the clip's drive data is read on the thread pool, which other tests may keep busy.
constexpr std::chrono::seconds kDriveDataWait{60};

struct Look {
    const char* name;
    QLocale locale;
    QSize size;
};

void PrintTo(const Look& look, std::ostream* out) {
    *out << look.name;
}

// The laptop size is a 1366 x 768 screen less its panel and the window's title bar.
const Look kLooks[] = {
    {"en_1600", QLocale(QLocale::English, QLocale::UnitedStates), QSize(1600, 1000)},
    {"en_1366", QLocale(QLocale::English, QLocale::UnitedStates), QSize(1366, 714)},
    {"de_1600", QLocale(QLocale::German, QLocale::Germany), QSize(1600, 1000)},
    {"de_1366", QLocale(QLocale::German, QLocale::Germany), QSize(1366, 714)},
};

// Cards and grid cells: their label and value are shown whole.
const QStringList kWholeTexts = {"metricTitle", "metricValue", "detailLabel", "detailValue"};

struct ShownText {
    const QQuickItem* item;
    QString text;
    QRectF rect; // where its glyphs are, in window coordinates
};

double effectiveOpacity(const QQuickItem* item) {
    double opacity = 1;
    for (; item; item = item->parentItem())
        opacity *= item->opacity();
    return opacity;
}

// The glyphs' box inside the item, as its alignment places them.
QRectF glyphRect(const QQuickItem* text) {
    // Unclipped text runs past its item's edges, so the item's own size does not bound it.
    const double w = text->property("contentWidth").toDouble();
    const double h = text->property("contentHeight").toDouble();
    const int horizontal = text->property("effectiveHorizontalAlignment").toInt();
    const int vertical = text->property("verticalAlignment").toInt();
    const double x = horizontal & Qt::AlignRight     ? text->width() - w
                     : horizontal & Qt::AlignHCenter ? (text->width() - w) / 2
                                                     : 0;
    const double y = vertical & Qt::AlignBottom    ? text->height() - h
                     : vertical & Qt::AlignVCenter ? (text->height() - h) / 2
                                                   : 0;
    return text->mapRectToScene(QRectF(x, y, w, h));
}

// What is left of `rect` once every clipping ancestor has cut it.
QRectF visiblePart(const QQuickItem* item, QRectF rect) {
    for (const QQuickItem* a = item->parentItem(); a; a = a->parentItem())
        if (a->clip())
            rect &= a->mapRectToScene(a->boundingRect());
    return rect;
}

QList<ShownText> shownTexts(const QQuickItem* item, const QStringList& skipped = {}) {
    QList<ShownText> texts;
    if (!item->isVisible() || item->opacity() <= 0 || skipped.contains(item->objectName()))
        return texts;
    const QString text = item->property("text").toString();
    if ((item->inherits("QQuickText") || item->inherits("QQuickTextInput")) && !text.isEmpty() &&
        effectiveOpacity(item) > 0) {
        const QRectF rect = visiblePart(item, glyphRect(item));
        if (!rect.isEmpty())
            texts.append({item, text, rect});
    }
    for (const QQuickItem* child : item->childItems())
        texts += shownTexts(child, skipped);
    return texts;
}

// "a" over "b" for every pair of shown texts whose glyph boxes meet by more than a pixel.
QStringList overlaps(const QList<ShownText>& texts) {
    QStringList found;
    for (qsizetype i = 0; i < texts.size(); ++i)
        for (qsizetype j = i + 1; j < texts.size(); ++j) {
            const QRectF common = texts[i].rect & texts[j].rect;
            if (common.width() > 1 && common.height() > 1)
                found << QStringLiteral("\"%1\" over \"%2\"").arg(texts[i].text, texts[j].text);
        }
    return found;
}

// Texts cut short although their cell had room, and card or grid texts cut short at all.
QStringList needlesslyElided(const QList<ShownText>& texts) {
    QStringList found;
    for (const ShownText& t : texts) {
        if (!t.item->property("truncated").toBool())
            continue;
        const QQuickItem* cell = t.item->parentItem();
        if (kWholeTexts.contains(t.item->objectName()) ||
            (cell && t.item->implicitWidth() <= cell->width()))
            found << t.text;
    }
    return found;
}

// Both of the above, joined; empty when the texts are clear and whole.
std::string problems(const QList<ShownText>& texts) {
    return (overlaps(texts) + needlesslyElided(texts)).join("; ").toStdString();
}

class LooksTest : public ::testing::TestWithParam<Look>, protected StudioSession {
protected:
    void SetUp() override {
        installTranslation(GetParam().locale);
        Settings::instance()->setRouteColouring(1); // by speed, so the map has its legend
        ASSERT_TRUE(launch());
        window->resize(GetParam().size);
    }
    void TearDown() override {
        app.reset();
        Settings::instance()->setRouteColouring(0);
        installTranslation(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    QString shot(const char* what) const {
        return QStringLiteral("looks_%1_%2")
            .arg(QLatin1String(GetParam().name), QLatin1String(what));
    }
};

TEST_P(LooksTest, TextsStayClearWholeAndNamed) {
    const QString path =
        QString::fromStdString(testclips::makeTempDir()) + "/2024-05-01_10-00-00-front.mp4";
    testclips::generate(path.toStdString(), {"--duration", "3"});
    QMetaObject::invokeMethod(window->property("sources").value<QObject*>(), "openClipPanelResult",
                              Q_ARG(QUrl, QUrl::fromLocalFile(path)));
    ASSERT_TRUE(waitFor([&] { return findItem(window, "metricCard0") != nullptr; }));
    ASSERT_TRUE(waitFor([&] { return !textOf(window, "fileName").isEmpty(); }));
    ASSERT_TRUE(waitFor([&] { return isShown(window, "routeLegend"); }, kDriveDataWait));
    EXPECT_TRUE(window->title().contains("2024-05-01_10-00-00-front"))
        << window->title().toStdString();

    // Texts over the video are drawn on the picture and may cross what it shows. The lists the
    // drive data fills are laid out at the next polish: what counts is how the texts settle.
    QList<ShownText> texts;
    waitFor([&] {
        texts = shownTexts(window->contentItem(), {"telemetryOverlay"});
        return problems(texts).empty();
    });
    EXPECT_GT(texts.size(), 20);
    EXPECT_EQ(problems(texts), "");
    saveScreenshot(window, shot("main"));
    // The map's attribution is painted, not a text item: the legend keeps above its strip.
    const QQuickItem* legend = findItem(window, "routeLegend");
    const QQuickItem* map = findItem(window, "routeMap");
    ASSERT_TRUE(map);
    const double attributionTop = map->height() - map->property("attributionHeight").toDouble();
    EXPECT_LE(legend->mapRectToItem(map, legend->boundingRect()).bottom(), attributionTop);

    QQmlListReference menus(window->property("menuBar").value<QObject*>(), "menus");
    ASSERT_EQ(menus.count(), 3);
    for (qsizetype m = 0; m < menus.count(); ++m) {
        QObject* menu = menus.at(m);
        QMetaObject::invokeMethod(menu, "open");
        ASSERT_TRUE(waitFor([&] { return menu->property("opened").toBool(); }));
        const auto* list = menu->property("contentItem").value<QQuickItem*>();
        const QRectF shownArea = list->mapRectToScene(list->boundingRect());
        const int count = menu->property("count").toInt();
        for (int i = 0; i < count; ++i) {
            QQuickItem* entry = nullptr;
            QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, entry),
                                      Q_ARG(int, i));
            const QString label = entry->property("text").toString();
            if (label.isEmpty())
                continue; // a separator
            const QList<ShownText> parts = shownTexts(entry);
            QRectF united; // before the menu's edges cut it
            QStringList shown;
            for (const ShownText& part : parts) {
                united |= glyphRect(part.item);
                shown << part.text;
            }
            EXPECT_TRUE(shownArea.contains(united)) << label.toStdString();
            EXPECT_EQ(problems(parts), "");
            EXPECT_TRUE(shown.contains(label)) << shown.join('|').toStdString();
            const auto* action = entry->property("action").value<QObject*>();
            if (action && !action->property("shortcut").toString().isEmpty()) {
                EXPECT_EQ(shown.size(), 2) << label.toStdString();
            }
        }
        saveScreenshot(window, shot(qPrintable("menu" + QString::number(m))));
        QMetaObject::invokeMethod(menu, "close");
        ASSERT_TRUE(waitFor([&] { return !menu->property("visible").toBool(); }));
    }

    QObject* guide = window->findChild<QObject*>("quickGuide");
    ASSERT_NE(guide, nullptr);
    QMetaObject::invokeMethod(guide, "open");
    ASSERT_TRUE(waitFor([&] { return guide->property("opened").toBool(); }));
    saveScreenshot(window, shot("guide")); // drawing it first lays it out
    EXPECT_EQ(problems(shownTexts(guide->property("contentItem").value<QQuickItem*>())), "");
    QMetaObject::invokeMethod(guide, "close");

    app->showSettings();
    QQuickWindow* settings = app->settingsWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    saveScreenshot(settings, shot("settings"));
    EXPECT_EQ(problems(shownTexts(settings->contentItem())), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, LooksTest, ::testing::ValuesIn(kLooks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
