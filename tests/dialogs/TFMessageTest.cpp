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

// Unregisters the window the test registered, whatever the test's outcome.
struct Registration {
    explicit Registration(TFMessage* window) { TFMessage::setInstance(window); }
    ~Registration() { TFMessage::setInstance(nullptr); }
};

} // namespace

TEST(TFMessage, isCreatedHiddenWithItsFixedLook) {
    TFMessage window;
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("  "));
    EXPECT_EQ(window.size(), QSize(291, 46));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    // The main window keeps the keyboard focus. (The offscreen platform of
    // the tests activates every window it shows, so only the request is checked.)
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));

    ASSERT_NE(Text(window), nullptr);
    ASSERT_NE(Bar(window), nullptr);
    EXPECT_TRUE(Bar(window)->isHidden());
    EXPECT_EQ(Bar(window)->minimum(), 0);
    EXPECT_EQ(Bar(window)->maximum(), 100);
    const QFont font = Text(window)->font();
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_EQ(font.family(), QStringLiteral("Times New Roman"));
    EXPECT_TRUE(Text(window)->alignment().testFlag(Qt::AlignHCenter));
}

TEST(TFMessage, showSetsTextCaptionAndBarAndTheTextFillsWhatTheBarLeaves) {
    TFMessage window;
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
    EXPECT_TRUE(Bar(window)->isVisible());
    EXPECT_EQ(Bar(window)->geometry(), QRect(0, 25, 291, 21));
    EXPECT_EQ(Text(window)->geometry(), QRect(0, 0, 291, 25));
    EXPECT_EQ(window.size(), QSize(291, 46));
}

TEST(TFMessage, longMessageWrapsInsideTheWindowWithoutGrowingIt) {
    TFMessage window;
    const QString path = QStringLiteral("/home/player/campaigns/northern-realms/spells/"
                                        "complete-collection-of-the-circle");
    window.ShowProgress(QString(), QStringLiteral("Opening Data File : ") + path, false);
    QLabel* text = Text(window);
    EXPECT_EQ(window.size(), QSize(291, 46));
    EXPECT_LE(text->width(), 291);
    EXPECT_TRUE(text->wordWrap());
    // The text needs more than one line at the window's width.
    EXPECT_GT(text->heightForWidth(291), 2 * text->fontMetrics().height() - 1);
    EXPECT_GT(text->fontMetrics().horizontalAdvance(text->text()), 291);
    // Too tall for the window: it starts at the top, where its beginning shows.
    EXPECT_TRUE(text->alignment().testFlag(Qt::AlignTop));

    window.ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    EXPECT_TRUE(text->alignment().testFlag(Qt::AlignVCenter));
    EXPECT_EQ(window.size(), QSize(291, 46));
}

TEST(TFMessage, hideHidesAndHidingAgainChangesNothing) {
    TFMessage window;
    window.HideProgress();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("  "));

    window.ShowProgress(QString(), QStringLiteral("Searching Spell List"), false);
    window.HideProgress();
    window.HideProgress();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(Text(window)->text(), QStringLiteral("Searching Spell List"));

    window.ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    EXPECT_TRUE(window.isVisible());
}

TEST(TFMessage, freeFunctionsDoNothingWithoutARegisteredWindow) {
    TFMessage::setInstance(nullptr);
    TFMessage window;
    ShowProgress(QString(), QStringLiteral("Sorting Spell List"), true);
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(Text(window)->text().isEmpty());
    HideProgress();
    EXPECT_TRUE(window.isHidden());
}

TEST(TFMessage, freeFunctionsActOnTheRegisteredWindowWhileItLives) {
    auto window = std::make_unique<TFMessage>();
    Registration registered(window.get());
    ASSERT_EQ(TFMessage::instance(), window.get());

    ShowProgress(QString(), QStringLiteral("Printing List ..."), false);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Text(*window)->text(), QStringLiteral("Printing List ..."));
    HideProgress();
    EXPECT_TRUE(window->isHidden());

    window.reset();
    EXPECT_EQ(TFMessage::instance(), nullptr);
    ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false); // must not crash
    HideProgress();
}
