#include "controls/Prompts.h"
#include "controls/GuiText.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Where the box of the next message sits, and whether its button is on the
// screen; taken while the box is shown.
struct Seen {
    QRect box;
    QRect button;
    QString text;
};

Seen ShowMessage(const QString& text) {
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        seen.box = box->frameGeometry();
        const auto* ok = box->findChild<QPushButton*>();
        ASSERT_NE(ok, nullptr);
        seen.button = QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size());
        for (const QLabel* label : box->findChildren<QLabel*>())
            seen.text += label->text();
    });
    PromptScript::Answer(QMessageBox::Ok);
    Prompts::Message(nullptr, text, Prompts::Icon::Error, QMessageBox::Ok);
    return seen;
}

} // namespace

TEST(Prompts, NoMessageBoxGrowsBeyondTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QString manyLines;
    for (int i = 0; i < 20000; ++i)
        manyLines += QStringLiteral("line %1 of a long report\n").arg(i);
    const QString cases[] = {
        QStringLiteral("x.Dat, line 1: the count line \"") + QString(2 << 20, u'\x07') + "\"",
        QString(300000, u'w') + QStringLiteral(" word").repeated(20000),
        manyLines,
    };
    for (const QString& text : cases) {
        const Seen seen = ShowMessage(text);
        EXPECT_TRUE(screen.contains(seen.box))
            << "box " << seen.box.width() << "x" << seen.box.height();
        EXPECT_TRUE(screen.contains(seen.button));
        EXPECT_TRUE(seen.text.startsWith(text.left(20)));
        EXPECT_LT(seen.text.size(), 3000);
    }
    // A message of ordinary length is shown whole.
    const QString plain = QStringLiteral("File /tmp/a.Dat doesn't exist, removing file from "
                                         "file list");
    EXPECT_TRUE(ShowMessage(plain).text.contains(plain));
    EXPECT_EQ(PromptScript::Messages().size(), 4);
}

TEST(GuiText, PathsKeepTheSystemsBytes) {
    const QByteArray names[] = {
        "/tmp/plain.Dat",
        "/tmp/Sp\xC3\xA9lls.Dat",                         // valid UTF-8
        "/tmp/Sp\xE9lls \xFF\xFE.Dat",                    // Latin-1 bytes
        "/tmp/\xC3(\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82", // broken, surrogate, too big, cut short
    };
    for (const QByteArray& bytes : names)
        EXPECT_EQ(PathToBytes(PathFromBytes(bytes)), bytes) << bytes.toHex().toStdString();
    EXPECT_EQ(PathFromBytes(QByteArray("/tmp/Sp\xC3\xA9lls.Dat")),
              QStringLiteral("/tmp/Spélls.Dat"));
    EXPECT_EQ(PathToBytes(QStringLiteral("/tmp/\U0001F600.Dat")),
              QByteArray("/tmp/\xF0\x9F\x98\x80.Dat"));
}
