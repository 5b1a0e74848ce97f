#include "dialogs/info/TFInfo.h"

#include "TestSupport.h"
#include "controls/DisplaySettings.h"
#include "spelldata/Settings.h"
#include "spelldata/SpellRecord.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>
#include <stdexcept>

using spelldata::SpellKind;
using spelldata::SpellRecord;

namespace {

const char* const WizardCaptions[] = {"LRang", "LComp", "Ldura", "LCast", "LArea", "LSave"};
const char* const PsionicCaptions[] = {"LPowe", "LInit", "LMain", "LRang1", "LPrep", "LArea1"};

class TFInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        spelldata::SetDefaultColours(CurrentDisplay().colours);
        area.resize(800, 600);
        area.show();
    }
    void TearDown() override { spelldata::SetDefaultColours(CurrentDisplay().colours); }

    // A window set up the way the main window opens one.
    TFInfo* open(int tag) {
        auto* window = new TFInfo;
        window->setTag(tag);
        area.addSubWindow(window);
        window->showSysGroup();
        window->ApplyColours();
        window->show();
        return window;
    }

    static QString text(TFInfo* w, const char* name) { return child<QLabel>(w, name)->text(); }
    static bool shown(TFInfo* w, const char* name) { return !child<QWidget>(w, name)->isHidden(); }
    static QColor colour(TFInfo* w, const char* name,
                         QPalette::ColorRole role = QPalette::WindowText) {
        return child<QWidget>(w, name)->palette().color(role);
    }
    static QFont nameFont(TFInfo* w) { return child<QLabel>(w, "Name")->font(); }
    template <typename T> static T* child(TFInfo* w, const char* name) {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return found;
    }

    QMdiArea area;
};

TEST_F(TFInfoTest, wizardThenPriest_fillTheirLayouts) {
    TFInfo* w = open(0);
    w->ShowSpell(testsupport::FullWizard("Cinder Lattice"));
    EXPECT_EQ(w->windowTitle(), "Cinder Lattice");
    EXPECT_EQ(text(w, "Name"), "Cinder Lattice");
    EXPECT_EQ(colour(w, "Name"), QColor(0, 0, 255));
    EXPECT_TRUE(shown(w, "WizIcon") && !shown(w, "ClIcon") && !shown(w, "PsioIcon"));
    for (const char* caption : WizardCaptions)
        EXPECT_TRUE(shown(w, caption)) << caption;
    EXPECT_EQ(text(w, "PSch"), "");
    EXPECT_EQ(text(w, "Rang"), "30 yards");
    EXPECT_EQ(text(w, "Comp"), "V, S, M");
    EXPECT_EQ(text(w, "Dura"), "1 round/level");
    EXPECT_EQ(text(w, "Cast"), "3");
    EXPECT_EQ(text(w, "Save"), QString(QChar(0xBD))); // Windows-1252 byte as Unicode
    EXPECT_EQ(child<QTextEdit>(w, "Desc")->toPlainText(),
              QString::fromUtf8("First line.\nSecond line with \u00e9 and \u00ff."));

    w->ShowSpell(testsupport::FullPriest("Ember Psalm"));
    EXPECT_TRUE(shown(w, "ClIcon") && !shown(w, "WizIcon"));
    EXPECT_EQ(colour(w, "Name"), QColor(0, 128, 0));
    EXPECT_TRUE(shown(w, "PSch"));
    EXPECT_EQ(text(w, "PSch"), "Elemental (Fire)");
    EXPECT_EQ(text(w, "Dura"), "Permanent");
}

TEST_F(TFInfoTest, psionicPowerAndInfoEntry_usePsionicLayout) {
    TFInfo* w = open(0);
    w->ShowSpell(testsupport::FullPriest());
    SpellRecord power = testsupport::FullPsionic("Glass Mind");
    w->ShowSpell(power);
    EXPECT_TRUE(shown(w, "PsioIcon") && !shown(w, "ClIcon"));
    EXPECT_FALSE(shown(w, "PSch"));
    for (const char* caption : PsionicCaptions)
        EXPECT_TRUE(shown(w, caption)) << caption;
    for (const char* caption : WizardCaptions)
        EXPECT_FALSE(shown(w, caption)) << caption;
    EXPECT_EQ(colour(w, "Name"), QColor(128, 0, 0));
    const std::pair<const char*, const char*> values[] = {
        {"Scho", "Telepathy"}, {"Powe", "Int -3"}, {"Rang", "12"},     {"Comp", "6/round"},
        {"Dura", "30 yards"},  {"Cast", "0"},      {"Save", "Contact"}};
    for (const auto& [label, value] : values)
        EXPECT_EQ(text(w, label), value) << label;
    EXPECT_TRUE(shown(w, "LPreq") && shown(w, "Save"));

    power.psi().Prerequisites.clear();
    w->ShowSpell(power);
    EXPECT_FALSE(shown(w, "LPreq") || shown(w, "Save"));

    SpellRecord info(SpellKind::Psionic);
    info->Level = spelldata::LevelInfo;
    w->ShowSpell(info);
    EXPECT_TRUE(shown(w, "PsioIcon") && shown(w, "LPowe"));
    EXPECT_EQ(text(w, "Level"), "I");
}

TEST_F(TFInfoTest, levelNameStyleAndSourceRow_followEachSpell) {
    TFInfo* w = open(0);
    SpellRecord spell = testsupport::FullWizard();
    spell->Level = 10;
    spell->Reversible = 1;
    spell->Source.clear();
    w->ShowSpell(spell);
    EXPECT_EQ(text(w, "Level"), "10");
    EXPECT_TRUE(nameFont(w).bold() && nameFont(w).italic());
    EXPECT_FALSE(shown(w, "LSour") || shown(w, "Sour"));

    spell->Level = 14; // no code: the previous one goes
    spell->Reversible = 0;
    spell->Source = "Tome of Ash";
    w->ShowSpell(spell);
    EXPECT_EQ(text(w, "Level"), "");
    EXPECT_TRUE(nameFont(w).bold());
    EXPECT_FALSE(nameFont(w).italic());
    EXPECT_TRUE(shown(w, "LSour") && shown(w, "Sour"));
    EXPECT_EQ(text(w, "Sour"), "Tome of Ash");
}

TEST_F(TFInfoTest, showDescUp_keepsDescriptionHiddenAcrossSpells) {
    TFInfo* w = open(0);
    auto* button = child<QToolButton>(w, "ShowDesc");
    w->ShowSpell(testsupport::FullWizard());
    EXPECT_TRUE(shown(w, "DescPanel"));

    // The toggle acts at once and the window keeps its own spell.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(shown(w, "DescPanel"));
    EXPECT_EQ(w->windowTitle(), "Cinder Lattice");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(shown(w, "DescPanel"));
    EXPECT_EQ(text(w, "Name"), "Cinder Lattice");
    QTest::mouseClick(button, Qt::LeftButton);
    w->ShowSpell(testsupport::FullPriest());
    EXPECT_FALSE(shown(w, "DescPanel"));
    w->ShowSpell(testsupport::FullPsionic());
    EXPECT_FALSE(shown(w, "DescPanel"));

    QTest::mouseClick(button, Qt::LeftButton);
    w->ShowSpell(testsupport::FullPsionic());
    EXPECT_TRUE(shown(w, "DescPanel"));
}

TEST_F(TFInfoTest, coloursFollowRole_andSurviveShowSpell) {
    TFInfo* view = open(1);
    TFInfo* info = open(0);
    for (int slot = 1; slot <= 21; ++slot) // slot n: red 10 * n
        CurrentDisplay().colours[slot] = static_cast<spelldata::ColourValue>(slot * 10);
    view->ApplyColours();
    info->ApplyColours();
    view->ShowSpell(testsupport::FullPriest());
    info->ShowSpell(testsupport::FullPsionic());

    const auto slot = [](int n) { return QColor(n * 10, 0, 0); };
    // Element, Quick View slot, Quick Info slot.
    const std::tuple<const char*, int, int> roles[] = {
        {"LRang", 2, 7}, {"LPowe", 2, 7}, {"LSour", 2, 7}, {"Rang", 3, 8},    {"Sour", 3, 8},
        {"Powe", 3, 8},  {"Scho", 4, 9},  {"PSch", 5, 10}, {"Level", 18, 19}, {"Name", 16, 17}};
    for (const auto& [name, viewSlot, infoSlot] : roles) {
        EXPECT_EQ(colour(view, name), slot(viewSlot)) << name;
        EXPECT_EQ(colour(info, name), slot(infoSlot)) << name;
    }
    EXPECT_EQ(colour(view, "SysGroup", QPalette::Window), slot(1));
    EXPECT_EQ(colour(info, "SysGroup", QPalette::Window), slot(6));
    for (TFInfo* w : {view, info}) {
        EXPECT_EQ(colour(w, "Desc", QPalette::Text), slot(11));
        EXPECT_EQ(colour(w, "Desc", QPalette::Base), slot(12));
    }
}

TEST_F(TFInfoTest, resizing_keepsLevelBoxFlushRightAndDescriptionBetweenBars) {
    TFInfo* w = open(0);
    w->ShowSpell(testsupport::FullWizard());
    QWidget* sys = child<QWidget>(w, "SysGroup");
    QWidget* level = child<QWidget>(w, "LevelGroup");
    QWidget* desc = child<QWidget>(w, "DescPanel");
    QWidget* bar = child<QWidget>(w, "Panel2");
    for (const QSize size : {QSize(700, 500), QSize(360, 260), QSize(524, 356)}) {
        w->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(sys->width(), w->widget()->width()) << size.width();
        EXPECT_EQ(level->geometry().right() + 1, sys->width()) << size.width();
        EXPECT_EQ(desc->y(), 185);
        EXPECT_EQ(desc->geometry().bottom() + 1, bar->y());
        EXPECT_EQ(bar->geometry().bottom() + 1, w->widget()->height());
    }
}

TEST_F(TFInfoTest, closingQuickInfoDestroysIt_closingQuickViewMinimisesIt) {
    QPointer<TFInfo> view = open(1);
    QPointer<TFInfo> info = open(0);
    info->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(info.isNull());

    view->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(view.isNull());
    EXPECT_TRUE(view->isMinimized());
    EXPECT_EQ(area.subWindowList(), QList<QMdiSubWindow*>{view.data()});
    view->ShowSpell(testsupport::FullPriest("Late Psalm")); // still refilled while minimised
    EXPECT_EQ(view->windowTitle(), "Late Psalm");
}

} // namespace

// Records far beyond any real spell: a 64 MiB name, other fields of a few
// MiB and a description of 1 MiB in short lines. The labels are cut short;
// the description arrives whole while the window stays usable.
TEST_F(TFInfoTest, extremeSizes_showAtOnceAndTheDescriptionArrivesWhole) {
    SpellRecord huge = testsupport::FullWizard();
    huge->Name = std::string(64u << 20, 'N');
    huge->School = std::string(4u << 20, 'S');
    huge->Source = std::string(4u << 20, 'O');
    const std::string line = "A line of a very long description.\r\n";
    std::string description;
    while (description.size() + line.size() <= (1u << 20))
        description += line;
    huge->Description = description + "end";
    TFInfo* window = open(1);
    // The time it takes is measured by the window benchmark (bench/, "extreme").
    window->ShowSpell(huge);
    QApplication::processEvents();
    EXPECT_TRUE(text(window, "Name").startsWith(QStringLiteral("NNNN")));
    EXPECT_TRUE(text(window, "Name").endsWith(QChar(0x2026)));
    EXPECT_LT(text(window, "Name").size(), 2000);
    EXPECT_LT(window->windowTitle().size(), 2000);
    EXPECT_LT(text(window, "Sour").size(), 2000);

    const QTextDocument* desc = child<QTextEdit>(window, "Desc")->document();
    const int lines = static_cast<int>(description.size() / line.size()) + 1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return desc->blockCount() == lines; }, 10000));
    EXPECT_EQ(desc->lastBlock().text(), QStringLiteral("end"));
    EXPECT_EQ(desc->firstBlock().text(), QStringLiteral("A line of a very long description."));
}
