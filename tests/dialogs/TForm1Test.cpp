#include "TForm1.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

template <typename T> T* Child(TForm1& form, const char* name) {
    return form.findChild<T*>(QLatin1String(name));
}

// Runs `check` once the modal loop is up, and closes the window after a
// generous time if nothing else did, so a broken window fails instead of hanging.
void WhileShown(TForm1& form, int afterMs, std::function<void()> check) {
    QTimer::singleShot(afterMs, &form, std::move(check));
    QTimer::singleShot(10000, &form, [&form] {
        if (form.isVisible()) {
            ADD_FAILURE() << "window still open after 10 s";
            form.reject();
        }
    });
}

} // namespace

TEST(TForm1, hasItsControlsWhereTheyBelong) {
    TForm1 form;
    EXPECT_EQ(form.size(), QSize(439, 335));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    ASSERT_NE(Child<QLabel>(form, "Image1"), nullptr);
    EXPECT_EQ(Child<QLabel>(form, "Image1")->geometry(), QRect(2, 4, 249, 175));
    EXPECT_FALSE(Child<QLabel>(form, "Image1")->pixmap().isNull());
    EXPECT_EQ(Child<QLabel>(form, "Label4")->text(), QStringLiteral("Programing:"));
    EXPECT_EQ(Child<QLabel>(form, "Label3")->text(), QStringLiteral("v. 1.20"));
    EXPECT_EQ(Child<QLabel>(form, "Label3")->pos(), QPoint(164, 140));
    EXPECT_EQ(Child<QLabel>(form, "Label2")->geometry().right() + 1, 432);
    EXPECT_FALSE(Child<QLabel>(form, "Label1")->text().isEmpty());

    QTextEdit* about = Child<QTextEdit>(form, "RE");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->geometry(), QRect(6, 180, 427, 121));
    EXPECT_TRUE(about->isReadOnly());
    EXPECT_EQ(about->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(about->toPlainText().contains(QStringLiteral("\":\"")));
    EXPECT_EQ(Child<QPushButton>(form, "BOK")->geometry(), QRect(384, 304, 49, 25));

    QTimer* timer = Child<QTimer>(form, "Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 2000);
}

TEST(TForm1, openingScreenIsCompactAndClosesByItself) {
    TForm1 form;
    bool checked = false;
    WhileShown(form, 300, [&] {
        checked = true;
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.size(), QSize(439, 183));
        EXPECT_FALSE(Child<QPushButton>(form, "BOK")->isVisible());
        EXPECT_FALSE(Child<QTextEdit>(form, "RE")->isVisible());
        EXPECT_TRUE(Child<QLabel>(form, "Image1")->isVisible());
        EXPECT_TRUE(Child<QLabel>(form, "Label2")->isVisible());
        EXPECT_TRUE(Child<QTimer>(form, "Timer1")->isActive());
    });
    QElapsedTimer clock;
    clock.start();
    form.ShowOpenForm(false);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(form.isVisible());
    // Two seconds by its timer; the watchdog would take ten.
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_LT(clock.elapsed(), 6000);
}

TEST(TForm1, aboutBoxOutlastsTheTimerAndClosesOnOk) {
    TForm1 form;
    bool clicked = false;
    WhileShown(form, 2600, [&] {
        EXPECT_TRUE(form.isVisible()) << "closed before OK";
        EXPECT_EQ(form.size(), QSize(439, 335));
        EXPECT_FALSE(Child<QTimer>(form, "Timer1")->isActive());
        QPushButton* ok = Child<QPushButton>(form, "BOK");
        EXPECT_TRUE(ok->isVisible());
        EXPECT_TRUE(Child<QTextEdit>(form, "RE")->isVisible());
        clicked = true;
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    form.ShowOpenForm(true);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(form.isVisible());
}

TEST(TForm1, aboutAfterTheOpeningScreenShowsEverythingAgain) {
    TForm1 form;
    QTimer::singleShot(100, &form, &TForm1::Timer1Timer);
    form.ShowOpenForm(false);
    bool checked = false;
    WhileShown(form, 100, [&] {
        checked = true;
        EXPECT_EQ(form.size(), QSize(439, 335));
        EXPECT_TRUE(Child<QTextEdit>(form, "RE")->isVisible());
        EXPECT_FALSE(Child<QTimer>(form, "Timer1")->isActive());
        form.BOKClick();
    });
    form.ShowOpenForm(true);
    EXPECT_TRUE(checked);
}
