#include "THistoryComboBox.h"

#include <QLineEdit>
#include <QStringList>
#include <QTest>
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
    EXPECT_EQ(box.count(), 0);

    ASSERT_TRUE(box.setProperty("Key", QStringLiteral("SearchHistory")));
    ASSERT_TRUE(box.setProperty("MaxHistoryLength", 20));
    EXPECT_EQ(box.Key(), QStringLiteral("SearchHistory"));
    EXPECT_EQ(box.MaxHistoryLength(), 20);
}

TEST(THistoryComboBox, keepsNoHistoryOfItsOwn) {
    // Set up as the search box: editable, sorted, a longer history.
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

TEST(THistoryComboBox, unsortedBoxKeepsTheOrderOfInsertion) {
    THistoryComboBox box;
    box.addItems({QStringLiteral("beta"), QStringLiteral("Alpha")});
    box.insertItem(0, QStringLiteral("zeta"));
    EXPECT_EQ(Entries(box), (QStringList{"zeta", "beta", "Alpha"}));
}

TEST(THistoryComboBox, sortedBoxPlacesEveryEntryIgnoringCase) {
    THistoryComboBox box;
    box.setSorted(true);
    box.addItem(QStringLiteral("gamma"));
    box.addItem(QStringLiteral("Beta"));
    box.insertItem(0, QStringLiteral("zeta"));
    box.addItems({QStringLiteral("alpha"), QStringLiteral("DELTA")});
    box.insertItem(2, QStringLiteral("Alpha2"));
    EXPECT_EQ(Entries(box), (QStringList{"alpha", "Alpha2", "Beta", "DELTA", "gamma", "zeta"}));
}

TEST(THistoryComboBox, sortedBoxReordersChangedTextsAndKeepsTheSelection) {
    THistoryComboBox box;
    box.setSorted(true);
    box.addItems({QStringLiteral("b.dat"), QStringLiteral("c.dat"), QStringLiteral("d.dat")});
    box.setCurrentIndex(box.findText(QStringLiteral("c.dat")));

    box.setItemText(0, QStringLiteral("Z.dat")); // "b.dat" renamed
    EXPECT_EQ(Entries(box), (QStringList{"c.dat", "d.dat", "Z.dat"}));
    box.addItem(QStringLiteral("A.dat"));
    EXPECT_EQ(Entries(box), (QStringList{"A.dat", "c.dat", "d.dat", "Z.dat"}));
    EXPECT_EQ(box.currentText(), QStringLiteral("c.dat"));
}

TEST(THistoryComboBox, turningSortingOnOrdersTheExistingEntries) {
    THistoryComboBox box;
    box.addItems({QStringLiteral("mage"), QStringLiteral("Cleric"), QStringLiteral("bard")});
    box.setSorted(true);
    EXPECT_EQ(Entries(box), (QStringList{"bard", "Cleric", "mage"}));
    box.setSorted(false);
    box.addItem(QStringLiteral("Aardvark"));
    EXPECT_EQ(box.itemText(3), QStringLiteral("Aardvark"));
}
