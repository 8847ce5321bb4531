// The list models' row updates as a view sees them: what is removed, inserted, changed or
// reset, checked by Qt's model tester as it happens.
#include "BatchClipListModel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace {

// "a b* c": the rows' paths, a star for a selected row.
QList<BatchClipRow> rowsOf(const QString& text) {
    QList<BatchClipRow> rows;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts))
        rows.append({word.chopped(word.endsWith('*')), word, "unknown", word.endsWith('*')});
    return rows;
}

TEST(KeyedListModel, TurnsNewRowsIntoTheFewestViewUpdates) {
    const struct {
        const char *before, *after, *updates;
    } cases[] = {
        {"", "a b c", "reset count"},      {"a b c", "", "reset count"},
        {"a b c d", "a c", "-3 -1 count"}, {"a c", "a b c d", "+1 +3 count"},
        {"a b c", "a b* c", "~1"},         {"a b c", "a d c*", "-1 +1 ~2"},
        {"a b c", "c b a", "reset"},       {"a b c", "a b c", ""},
    };
    for (const auto& c : cases) {
        BatchClipListModel model;
        model.setRows(rowsOf(c.before));
        QAbstractItemModelTester tester(&model);
        QStringList updates;
        QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { updates << "reset"; });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                         [&](auto, int row) { updates << "-" + QString::number(row); });
        QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                         [&](auto, int row) { updates << "+" + QString::number(row); });
        QObject::connect(&model, &QAbstractItemModel::dataChanged, [&](const QModelIndex& row) {
            updates << "~" + QString::number(row.row());
        });
        QObject::connect(&model, &KeyedListModelBase::countChanged, [&] { updates << "count"; });
        model.setRows(rowsOf(c.after));
        EXPECT_EQ(updates.join(' ').toStdString(), c.updates) << c.before << " -> " << c.after;
        EXPECT_EQ(model.rows(), rowsOf(c.after)) << c.after;
    }
}

TEST(KeyedListModel, GivesEachRoleByNameAndTheDisplayedOneAsText) {
    BatchClipListModel model;
    model.setRows(rowsOf("a b*"));
    const QModelIndex second = model.index(1);
    QVariantMap values;
    for (const auto& [role, name] : model.roleNames().asKeyValueRange())
        values.insert(QString::fromUtf8(name), model.data(second, role));
    EXPECT_EQ(
        values,
        (QVariantMap{{"path", "b"}, {"name", "b*"}, {"status", "unknown"}, {"isSelected", true}}));
    EXPECT_EQ(model.data(second, Qt::DisplayRole), QVariant("b*"));
    EXPECT_EQ(model.data(model.index(2), Qt::DisplayRole), QVariant());
}

} // namespace
