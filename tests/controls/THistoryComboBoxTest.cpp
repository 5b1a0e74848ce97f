#include "controls/THistoryComboBox.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QStringList Entries(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts.append(box.itemText(i));
    return texts;
}

} // namespace

TEST(THistoryComboBox, propertiesHaveTheirDefaultsAndKeepWhatIsSet) {
    THistoryComboBox box;
    EXPECT_EQ(box.property("Key").toString(), QString());
    EXPECT_EQ(box.property("MaxHistoryLength").toInt(), 7);
    EXPECT_FALSE(box.property("Sorted").toBool());
    ASSERT_TRUE(box.setProperty("Key", QStringLiteral("SearchHistory")));
    ASSERT_TRUE(box.setProperty("MaxHistoryLength", 20));
    EXPECT_EQ(box.Key(), QStringLiteral("SearchHistory"));
    EXPECT_EQ(box.MaxHistoryLength(), 20);
}

TEST(THistoryComboBox, keepsNoHistoryOfItsOwn) {
    // Set up as the search box: editable and sorted.
    THistoryComboBox box;
    box.setEditable(true);
    box.setSorted(true);
    box.setMaxHistoryLength(2);
    box.show();
    for (const char* typed : {"fire", "ice", "storm"}) {
        box.lineEdit()->clear();
        QTest::keyClicks(box.lineEdit(), QString::fromLatin1(typed));
        QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    }
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentText(), QStringLiteral("storm"));
    // The length limit is only stored: the owner's entries are never trimmed.
    box.addItems({"d", "c", "b", "a"});
    EXPECT_EQ(Entries(box), (QStringList{"a", "b", "c", "d"}));
}

TEST(THistoryComboBox, sortedBoxPlacesAddedAndRenamedEntriesIgnoringCase) {
    THistoryComboBox box;
    box.setSorted(true);
    box.addItem(QStringLiteral("gamma"));
    box.insertItem(0, QStringLiteral("zeta"));
    box.addItems({QStringLiteral("alpha"), QStringLiteral("DELTA")});
    box.insertItem(2, QStringLiteral("Alpha2"));
    EXPECT_EQ(Entries(box), (QStringList{"alpha", "Alpha2", "DELTA", "gamma", "zeta"}));

    box.setCurrentIndex(box.findText(QStringLiteral("gamma")));
    box.setItemText(0, QStringLiteral("Omega")); // "alpha" renamed
    EXPECT_EQ(Entries(box), (QStringList{"Alpha2", "DELTA", "gamma", "Omega", "zeta"}));
    EXPECT_EQ(box.currentText(), QStringLiteral("gamma"));
}

TEST(THistoryComboBox, sortingAppliesOnlyWhileSet) {
    THistoryComboBox box;
    box.addItems({QStringLiteral("mage"), QStringLiteral("Cleric"), QStringLiteral("bard")});
    EXPECT_EQ(Entries(box), (QStringList{"mage", "Cleric", "bard"}));
    box.setSorted(true); // orders what is already there
    EXPECT_EQ(Entries(box), (QStringList{"bard", "Cleric", "mage"}));
    box.setSorted(false);
    box.addItem(QStringLiteral("Aardvark"));
    EXPECT_EQ(box.itemText(3), QStringLiteral("Aardvark"));
}

// A file list of ten thousand entries, added one at a time as the main window
// adds them, comes out in order without sorting the whole list per entry.
TEST(THistoryComboBox, longListAddedEntryByEntryIsSortedQuickly) {
    QStringList added;
    for (int i = 0; i < 10000; ++i) {
        const int n = (i * 7919) % 10000; // every number once, in a scattered order
        added << (n % 3 ? QStringLiteral("/data/Set%1.dat") : QStringLiteral("/data/set%1.DAT"))
                     .arg(n);
    }
    THistoryComboBox box;
    box.setSorted(true);
    QElapsedTimer clock;
    clock.start();
    for (const QString& entry : added)
        box.addItem(entry);
    EXPECT_LT(clock.elapsed(), 3000);
    std::stable_sort(added.begin(), added.end(), [](const QString& a, const QString& b) {
        return a.toCaseFolded() < b.toCaseFolded();
    });
    EXPECT_EQ(Entries(box), added);
    // Entries equal but for case keep the order they came in.
    box.clear();
    for (const char* entry : {"b", "A", "a", "B", "a"})
        box.addItem(QString::fromLatin1(entry));
    EXPECT_EQ(Entries(box), (QStringList{"A", "a", "a", "b", "B"}));
}
