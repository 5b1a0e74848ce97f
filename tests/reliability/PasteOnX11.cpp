// Pasting into every box a user can type into, with an empty, an image and a
// text clipboard. Run on a real X server (see CMakeLists.txt): there a
// clipboard that nobody owns gives mime data without any format, which the
// offscreen platform never does.
#include "dialogs/edit/TFEdit.h"
#include "dialogs/output/TForm2.h"
#include "dialogs/search/TFSearch.h"
#include "dialogs/settings/TFconfig.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

enum class Clip { Empty, Image, Text };

void fillClipboard(Clip clip) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clip == Clip::Empty) {
        clipboard->clear(); // gives the X11 selection up: nobody owns it now
    } else if (clip == Clip::Image) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        clipboard->setImage(image);
    } else {
        clipboard->setText(QStringLiteral("Pasted\nwords"));
    }
    QTest::qWait(20);
}

QString textOf(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return qobject_cast<QTextEdit*>(box)->toPlainText();
}

// The boxes of `window` a user can type into, as it shows them now.
QList<QWidget*> editableBoxes(QWidget& window) {
    QList<QWidget*> boxes;
    for (QLineEdit* line : window.findChildren<QLineEdit*>())
        if (line->isVisible() && !line->isReadOnly())
            boxes << line;
    for (QTextEdit* text : window.findChildren<QTextEdit*>())
        if (text->isVisible() && !text->isReadOnly())
            boxes << text;
    return boxes;
}

// Clicks into each editable box of `window` and presses Ctrl+V there with each
// kind of clipboard. Returns how many boxes were tried.
int pasteEverywhere(QWidget& window) {
    const QList<QWidget*> boxes = editableBoxes(window);
    for (QWidget* box : boxes) {
        const QString name =
            box->objectName().isEmpty() ? box->parentWidget()->objectName() : box->objectName();
        SCOPED_TRACE(name.toStdString());
        auto* area = qobject_cast<QTextEdit*>(box);
        QWidget* clickable = area ? area->viewport() : box;
        QTest::mouseClick(clickable, Qt::LeftButton, {}, clickable->rect().center());
        // An editable combo box keeps the focus and hands the keys to its line.
        QWidget* focused = window.focusWidget();
        const bool reached =
            focused == box || (focused == box->parentWidget() && qobject_cast<QComboBox*>(focused));
        EXPECT_TRUE(reached) << "focus on " << (focused ? focused->objectName().toStdString() : "");
        if (!reached)
            continue;
        for (Clip clip : {Clip::Empty, Clip::Image, Clip::Text}) {
            fillClipboard(clip);
            const QString before = textOf(box);
            QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
            auto* line = qobject_cast<QLineEdit*>(box);
            const bool refusesWords = line && line->validator(); // a number box
            if (clip == Clip::Text && !refusesWords)
                EXPECT_TRUE(textOf(box).contains(QStringLiteral("Pasted")));
            else
                EXPECT_EQ(textOf(box), before) << "clipboard " << int(clip);
        }
    }
    return static_cast<int>(boxes.size());
}

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
}

} // namespace

TEST(PasteOnX11, editor_everyBoxOfEveryKind) {
    TFEdit editor;
    showActive(editor);
    int tried = 0;
    for (const char* kind : {"BWiz", "BPri", "BPsi", "BInfo"}) {
        SCOPED_TRACE(kind);
        QTest::mouseClick(editor.findChild<QPushButton*>(QString::fromLatin1(kind)),
                          Qt::LeftButton);
        tried += pasteEverywhere(editor);
    }
    // Name, source and description under every kind, plus the kinds' own
    // boxes: wizard 7, priest 8, psionic 7, info none.
    EXPECT_EQ(tried, 4 * 3 + 7 + 8 + 7);
    editor.reject();
}

TEST(PasteOnX11, searchPrintAndConfigBoxes) {
    TFSearch search;
    showActive(search);
    EXPECT_EQ(pasteEverywhere(search), 1);
    search.reject();

    TForm2 print;
    print.PannelClick(); // save mode shows the file name box
    showActive(print);
    EXPECT_EQ(pasteEverywhere(print), 1);
    print.reject();

    TFconfig config;
    showActive(config);
    EXPECT_EQ(pasteEverywhere(config), 1); // the description size
    config.reject();
}
