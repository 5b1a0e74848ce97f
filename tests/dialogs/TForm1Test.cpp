#include "dialogs/about/TForm1.h"

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

// Runs `check` while the modal loop is up, and closes the window after a
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

TEST(TForm1, openingScreenIsCompactAndClosesByItself) {
    TForm1 form;
    EXPECT_FALSE(Child<QTimer>(form, "Timer1")->isActive());
    bool checked = false;
    WhileShown(form, 300, [&] {
        checked = true;
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.size(), QSize(439, 183));
        EXPECT_FALSE(Child<QPushButton>(form, "BOK")->isVisible());
        EXPECT_FALSE(Child<QTextEdit>(form, "RE")->isVisible());
        EXPECT_TRUE(Child<QLabel>(form, "Label2")->isVisible());
        EXPECT_FALSE(Child<QLabel>(form, "Image1")->pixmap().isNull());
    });
    QElapsedTimer clock;
    clock.start();
    form.ShowOpenForm(false);
    EXPECT_TRUE(checked);
    // Closed by its two-second timer; the watchdog would take ten.
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_LT(clock.elapsed(), 6000);
}

TEST(TForm1, aboutBoxOutlastsTheTimerAndClosesOnOk) {
    TForm1 form;
    // First the opening screen, cut short, then the same window as about box.
    QTimer::singleShot(100, &form, &TForm1::Timer1Timer);
    form.ShowOpenForm(false);

    bool clicked = false;
    WhileShown(form, 2600, [&] {
        EXPECT_TRUE(form.isVisible()) << "closed before OK";
        EXPECT_EQ(form.size(), QSize(439, 335));
        EXPECT_TRUE(Child<QTextEdit>(form, "RE")->isVisible());
        QPushButton* ok = Child<QPushButton>(form, "BOK");
        EXPECT_TRUE(ok->isVisible());
        clicked = true;
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    form.ShowOpenForm(true);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(form.isVisible());
}
