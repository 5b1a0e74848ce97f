#include "dialogs/progress/TFMessage.h"

#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>
#include <memory>

namespace {

QLabel* Text(TFMessage& window) {
    return window.findChild<QLabel*>(QStringLiteral("LText"));
}
QProgressBar* Bar(TFMessage& window) {
    return window.findChild<QProgressBar*>(QStringLiteral("ProgBar"));
}

const QString LongPath =
    QStringLiteral("/home/player/campaigns/northern-realms/spells/archive/complete-collection.dat");

} // namespace

TEST(TFMessage, showSetsTextCaptionAndBarAndTheTextFillsWhatTheBarLeaves) {
    TFMessage window;
    window.HideProgress(); // already hidden: nothing changes
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("  "));
    window.ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Text(window)->text(), QStringLiteral("Sorting Spell List"));
    EXPECT_EQ(window.windowTitle(), QString());
    EXPECT_FALSE(Bar(window)->isVisible());
    EXPECT_EQ(Text(window)->geometry(), QRect(0, 0, 291, 46));

    // Shown again while visible: only the texts and the bar change.
    window.ShowProgress(QStringLiteral("Busy"), QStringLiteral("Saving Data File : a"), true);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Busy"));
    EXPECT_EQ(Text(window)->text(), QStringLiteral("Saving Data File : a"));
    EXPECT_EQ(Bar(window)->geometry(), QRect(0, 25, 291, 21));
    EXPECT_TRUE(Bar(window)->isVisible());
    EXPECT_EQ(Text(window)->geometry(), QRect(0, 0, 291, 25));

    window.HideProgress();
    window.HideProgress();
    EXPECT_TRUE(window.isHidden());
}

// A long message wraps; a file name that would take more lines than the
// window has is shortened in the middle, keeping its start and its name.
TEST(TFMessage, longMessageWrapsAndALongFileNameIsShortenedInTheMiddle) {
    TFMessage window;
    QLabel* text = Text(window);
    const QString wraps = QStringLiteral("Saving List to Text File with Description...");
    window.ShowProgress(QString(), wraps, false);
    EXPECT_EQ(text->text(), wraps);
    EXPECT_GT(text->heightForWidth(291), text->fontMetrics().height());

    for (bool bar : {false, true}) {
        SCOPED_TRACE(bar ? "with bar" : "without bar");
        window.ShowProgress(QString(), QStringLiteral("Opening Data File : ") + LongPath, bar);
        EXPECT_EQ(window.size(), QSize(291, 46));
        EXPECT_EQ(text->width(), 291);
        EXPECT_LE(text->heightForWidth(291), text->height());
        EXPECT_TRUE(text->text().startsWith(QStringLiteral("Opening Data File : /home/")));
        // One line is left beside the bar, two without it.
        EXPECT_TRUE(text->text().endsWith(bar ? QStringLiteral(".dat")
                                              : QStringLiteral("complete-collection.dat")));
        EXPECT_TRUE(text->text().contains(QChar(0x2026))) << text->text().toStdString();
    }

    window.ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    EXPECT_TRUE(text->alignment().testFlag(Qt::AlignVCenter));
    EXPECT_EQ(window.size(), QSize(291, 46));
}

TEST(TFMessage, freeFunctionsActOnTheRegisteredWindowOnly) {
    TFMessage::setInstance(nullptr);
    auto window = std::make_unique<TFMessage>();
    ShowProgress(QString(), QStringLiteral("Sorting Spell List"), true);
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(Text(*window)->text().isEmpty());

    TFMessage::setInstance(window.get());
    ShowProgress(QString(), QStringLiteral("Printing List ..."), false);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Text(*window)->text(), QStringLiteral("Printing List ..."));
    HideProgress();
    EXPECT_TRUE(window->isHidden());
    {
        const ProgressShown shown(QStringLiteral("Busy"), QStringLiteral("Sorting Spell List"),
                                  true);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Busy"));
        EXPECT_EQ(Text(*window)->text(), QStringLiteral("Sorting Spell List"));
        EXPECT_TRUE(Bar(*window)->isVisible());
    }
    EXPECT_TRUE(window->isHidden()) << "the guard takes the window down when it goes";

    window.reset(); // unregisters itself; the calls must not reach it
    EXPECT_EQ(TFMessage::instance(), nullptr);
    ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    HideProgress();
    const ProgressShown shown(QString(), QStringLiteral("Sorting Spell List"), false);
}
