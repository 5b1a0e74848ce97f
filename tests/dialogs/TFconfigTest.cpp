#include "dialogs/settings/TFconfig.h"

#include "KeyboardSupport.h"
#include "controls/DisplaySettings.h"
#include "controls/Prompts.h"
#include "controls/ScreenFit.h"
#include "controls/TFontComboBox.h"
#include "spelldata/Settings.h"

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>

namespace {

const QString TimesNewRoman = QStringLiteral("Times New Roman");

class TFconfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = CurrentDisplay();
        spelldata::SetDefaultColours(CurrentDisplay().colours);
        // Two installed families, so that the boxes can select them.
        ASSERT_GE(fontBox("SLFont")->count(), 2);
        fontA = fontBox("SLFont")->itemText(0);
        fontB = fontBox("SLFont")->itemText(1);
        CurrentDisplay().ListFontName = fontA;
        CurrentDisplay().DescFontName = fontB;
        CurrentDisplay().DescFontSize = 9;
    }
    void TearDown() override { CurrentDisplay() = saved; }

    template <typename T> T* child(const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return found;
    }
    TFontComboBox* fontBox(const char* name) { return child<TFontComboBox>(name); }
    QComboBox* sizeBox() { return child<QComboBox>("DescSize"); }
    QColor panelColour(const char* name) {
        return child<QFrame>(name)->palette().color(QPalette::Window);
    }
    void click(const char* name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }

    DisplaySettings saved;
    QString fontA, fontB;
    TFconfig dialog;
};

} // namespace

TEST_F(TFconfigTest, everyColourSlotButThirteenAndFourteenHasOnePanelOfItsOwn) {
    const std::map<QString, int> expected{
        {"P1", 1},   {"P2", 2},  {"P3", 3},   {"P4", 4},   {"P5", 5},   {"Pa1", 6},  {"Pa2", 7},
        {"Pa3", 8},  {"Pa4", 9}, {"Pa5", 10}, {"pp3", 11}, {"pp2", 12}, {"pp4", 15}, {"pp5", 16},
        {"pp6", 17}, {"P6", 18}, {"Pa6", 19}, {"pp7", 20}, {"Pp1", 21},
    };
    std::map<QString, int> panels;
    std::map<int, int> perSlot;
    for (QObject* object : dialog.findChildren<QObject*>()) {
        const int tag = object->property("Tag").toInt();
        if (tag < 1)
            continue;
        panels[object->objectName()] = tag;
        ++perSlot[tag];
        EXPECT_EQ(qobject_cast<QWidget*>(object)->size(), QSize(59, 17)) << tag;
    }
    EXPECT_EQ(panels, expected);
    EXPECT_EQ(perSlot.size(), 19u);
    for (const auto& [slot, count] : perSlot)
        EXPECT_EQ(count, 1) << "slot " << slot;
    EXPECT_EQ(dialog.windowTitle(), "Fconfig");
}

TEST_F(TFconfigTest, openingLoadsTheSettingsIntoTheControls) {
    CurrentDisplay().colours[2] = 0x00112233; // 0x00BBGGRR
    CurrentDisplay().ListFontName = fontB.toUpper();
    CurrentDisplay().DescFontName = QStringLiteral("No Such Font Family");
    CurrentDisplay().DescFontSize = 11;
    dialog.show();
    EXPECT_EQ(panelColour("P2"), QColor(0x33, 0x22, 0x11));
    // System colours follow the desktop palette.
    EXPECT_EQ(panelColour("P1"), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(panelColour("Pp1"), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(fontBox("SLFont")->currentText(), fontB) << "names compare without case";
    EXPECT_EQ(fontBox("DescFont")->currentIndex(), -1);
    EXPECT_EQ(sizeBox()->currentText(), "11");
}

// A family the desktop only stands in for, and the default size 0: the boxes
// show the family and size the windows draw, and OK stores exactly that.
TEST_F(TFconfigTest, openingShowsTheFontAsDrawnAndOkStoresWhatIsShown) {
    const QString drawn = QFontInfo(QFont(TimesNewRoman)).family();
    if (fontBox("SLFont")->findText(TimesNewRoman) >= 0 || drawn == QFontInfo(QFont()).family())
        GTEST_SKIP() << "Times New Roman is installed here, or has no stand-in";
    CurrentDisplay().ListFontName = TimesNewRoman;
    CurrentDisplay().DescFontName = TimesNewRoman;
    CurrentDisplay().DescFontSize = 0;
    const int drawnSize = QFontInfo(CurrentDisplay().descriptionFont()).pointSize();
    ASSERT_GT(drawnSize, 0);
    dialog.show();
    EXPECT_EQ(fontBox("SLFont")->currentText(), drawn);
    EXPECT_EQ(fontBox("DescFont")->currentText(), drawn);
    EXPECT_EQ(sizeBox()->currentText(), QString::number(drawnSize));
    click("BitBtn1");
    EXPECT_EQ(CurrentDisplay().ListFontName, drawn);
    EXPECT_EQ(CurrentDisplay().DescFontName, drawn);
    EXPECT_EQ(CurrentDisplay().DescFontSize, drawnSize);
}

TEST_F(TFconfigTest, pickedColourGoesIntoItsSlotAtOnceAndStaysAfterTheCloseBox) {
    QSignalSpy applied(&dialog, &TFconfig::settingsApplied);
    dialog.show();
    PromptScript::Colour(QColor(10, 20, 30));
    click("Pa6");
    EXPECT_EQ(CurrentDisplay().colours[19], ValueFromColour(QColor(10, 20, 30)));
    EXPECT_EQ(panelColour("Pa6"), QColor(10, 20, 30));
    EXPECT_EQ(CurrentDisplay().colours[18], 0xFF0000u) << "the Quick View's level keeps its own";

    PromptScript::Colour(QColor()); // the picker cancelled
    click("Pa6");
    EXPECT_EQ(CurrentDisplay().colours[19], ValueFromColour(QColor(10, 20, 30)));

    // A font chosen but not confirmed goes with the close box; the colour stays.
    fontBox("SLFont")->setCurrentIndex(1);
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(CurrentDisplay().colours[19], ValueFromColour(QColor(10, 20, 30)));
    EXPECT_EQ(CurrentDisplay().ListFontName, fontA);
    EXPECT_EQ(applied.count(), 0);

    dialog.show();
    EXPECT_EQ(panelColour("Pa6"), QColor(10, 20, 30));
    EXPECT_EQ(fontBox("SLFont")->currentText(), fontA);
}

TEST_F(TFconfigTest, okAppliesFontsAndSizeAndTellsTheWindows) {
    QSignalSpy applied(&dialog, &TFconfig::settingsApplied);
    dialog.show();
    fontBox("SLFont")->setCurrentIndex(1);
    fontBox("DescFont")->setCurrentIndex(0);
    sizeBox()->lineEdit()->clear();
    QTest::keyClicks(sizeBox()->lineEdit(), "12");
    PromptScript::Colour(QColor(200, 100, 50));
    click("pp4");
    click("BitBtn1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_EQ(CurrentDisplay().ListFontName, fontB);
    EXPECT_EQ(CurrentDisplay().DescFontName, fontA);
    EXPECT_EQ(CurrentDisplay().DescFontSize, 12);
    EXPECT_EQ(CurrentDisplay().colour(15), QColor(200, 100, 50));
    EXPECT_EQ(applied.count(), 1);
}

TEST_F(TFconfigTest, defaultColorsResetsSlotsAtOnceAndTheFontsOnOk) {
    QSignalSpy applied(&dialog, &TFconfig::settingsApplied);
    spelldata::ColourSlots& colours = CurrentDisplay().colours;
    for (int slot = 1; slot <= 21; ++slot)
        colours[slot] = 0x00ABCDEF;
    dialog.show();
    click("BitBtn2");

    spelldata::ColourSlots defaults;
    spelldata::SetDefaultColours(defaults);
    for (int slot = 1; slot <= 21; ++slot) {
        const bool untouched = slot == 13 || slot == 14;
        EXPECT_EQ(colours[slot], untouched ? 0x00ABCDEFu : defaults[slot]) << "slot " << slot;
    }
    EXPECT_EQ(panelColour("pp7"), QColor(255, 0, 0));
    EXPECT_EQ(panelColour("P1"), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(sizeBox()->currentText(), "8");
    EXPECT_EQ(CurrentDisplay().ListFontName, fontA) << "fonts wait for OK";
    EXPECT_EQ(applied.count(), 0);

    click("BitBtn1");
    // Times New Roman itself, or the family this desktop draws in its place.
    const QString drawnAs = QFontInfo(QFont(TimesNewRoman)).family();
    for (const QString& name : {CurrentDisplay().ListFontName, CurrentDisplay().DescFontName}) {
        EXPECT_TRUE(name == TimesNewRoman || name == drawnAs) << name.toStdString();
        EXPECT_EQ(QFontInfo(QFont(name)).family(), drawnAs);
    }
    EXPECT_EQ(CurrentDisplay().DescFontSize, 8);
    EXPECT_EQ(applied.count(), 1);
}

TEST_F(TFconfigTest, okKeepsASizeOrFontThatTheBoxesCannotGive) {
    CurrentDisplay().DescFontName = QStringLiteral("No Such Font Family");
    for (const char* text : {"", " ", "0", "100", "12.5", "ten", "-3"}) {
        dialog.show();
        ASSERT_EQ(fontBox("DescFont")->currentIndex(), -1);
        sizeBox()->setEditText(QString::fromLatin1(text));
        click("BitBtn1");
        EXPECT_EQ(CurrentDisplay().DescFontSize, 9) << '"' << text << '"';
        EXPECT_EQ(CurrentDisplay().DescFontName, "No Such Font Family");
    }
    // Only whole numbers reach the box by typing.
    dialog.show();
    sizeBox()->lineEdit()->clear();
    QTest::keyClicks(sizeBox()->lineEdit(), "1x4");
    EXPECT_EQ(sizeBox()->currentText(), "14");
}

// Tab reads the dialog row by row with OK last, and every colour panel can be
// changed from the keyboard.
TEST_F(TFconfigTest, keyboardReachesEveryControlInReadingOrder) {
    ASSERT_TRUE(ActivateForKeys(dialog));
    EXPECT_EQ(TabCycle(dialog), "SLFont DescFont DescSize P1 Pa1 P2 Pa2 P3 Pa3 P4 Pa4 P5 Pa5 P6 "
                                "Pa6 Pp1 pp2 pp3 pp4 pp5 pp6 pp7 BitBtn2 BitBtn1");

    // Space on the focused panel picks its colour; so does Enter.
    for (int i = 0; i < 30 && dialog.focusWidget()->objectName() != QLatin1String("Pa3"); ++i)
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    PromptScript::Colour(QColor(1, 2, 3));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Space);
    EXPECT_EQ(CurrentDisplay().colours[8], ValueFromColour(QColor(1, 2, 3)));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    PromptScript::Colour(QColor(4, 5, 6));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(CurrentDisplay().colours[4], ValueFromColour(QColor(4, 5, 6)));
    EXPECT_TRUE(dialog.isVisible()) << "Enter on a panel is not OK";
    dialog.reject();
}

// On a screen with little room the dialog fits it; Tab still reaches the
// last colour panel, scrolled into view, and OK stays in sight.
TEST_F(TFconfigTest, smallScreen_keepsEveryControlInReach) {
    ASSERT_TRUE(ActivateForKeys(dialog));
    const QRect screen(0, 0, 683, 350);
    FitToArea(&dialog, dialog.size(), screen);
    EXPECT_LE(dialog.frameGeometry().height(), screen.height());
    auto* scroll = dialog.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "room for the vertical bar";
    for (int i = 0; i < 30 && dialog.focusWidget()->objectName() != QLatin1String("pp7"); ++i)
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    QWidget* last = child<QWidget>("pp7");
    ASSERT_EQ(dialog.focusWidget(), last);
    const QRect inView(last->mapTo(scroll->viewport(), QPoint(0, 0)), last->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(inView));
    QWidget* ok = child<QWidget>("BitBtn1");
    EXPECT_TRUE(dialog.rect().contains(QRect(ok->mapTo(&dialog, QPoint(0, 0)), ok->size())));
    click("BitBtn1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
