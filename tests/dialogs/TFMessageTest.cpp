#include "TFMessage.h"

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

const QString LongPath = QStringLiteral("/home/player/campaigns/northern-realms/spells/complete");

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

TEST(TFMessage, longMessageWrapsInsideTheWindowWithoutGrowingIt) {
    TFMessage window;
    window.ShowProgress(QString(), QStringLiteral("Opening Data File : ") + LongPath, false);
    QLabel* text = Text(window);
    EXPECT_EQ(window.size(), QSize(291, 46));
    EXPECT_EQ(text->width(), 291);
    EXPECT_GT(text->heightForWidth(291), 2 * text->fontMetrics().height() - 1);
    // Too tall for the window: it starts at the top, where its beginning shows.
    EXPECT_TRUE(text->alignment().testFlag(Qt::AlignTop));

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

    window.reset(); // unregisters itself; the calls must not reach it
    EXPECT_EQ(TFMessage::instance(), nullptr);
    ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    HideProgress();
}
