#include "dialogs/progress/TFMessage.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 291;
constexpr int ClientHeight = 46;
constexpr int BarHeight = 21;

QPointer<TFMessage>& Registered() {
    static QPointer<TFMessage> window;
    return window;
}

QLabel* MakeText(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("LText"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    // A long message must wrap, not widen the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return label;
}

QProgressBar* MakeBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("ProgBar"));
    bar->setRange(0, 100);
    bar->setFixedHeight(BarHeight);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->hide();
    return bar;
}

} // namespace

TFMessage::TFMessage(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      LText(MakeText(this)), ProgBar(MakeBar(this)) {
    setObjectName(QStringLiteral("FMessage"));
    setWindowTitle(QStringLiteral("  "));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(ClientWidth, ClientHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(LText, 1);
    layout->addWidget(ProgBar);
    moveToScreenCentre();
}

void TFMessage::ShowProgress(const QString& caption, const QString& text, bool showBar) {
    setWindowTitle(caption);
    ProgBar->setVisible(showBar);
    placeText(text, showBar);
    if (isHidden())
        moveToScreenCentre();
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFMessage::HideProgress() {
    hide();
}

// The message wraps inside the window and never makes it grow. A file name
// that would need more lines than the window has is shortened in the middle,
// so that the start of its folder and the name itself stay readable; only
// the part after " : " counts as the file name. Whatever still does not fit
// starts at the top, where its beginning shows.
void TFMessage::placeText(const QString& text, bool showBar) {
    const int room = ClientHeight - (showBar ? BarHeight : 0);
    const auto fits = [this, room](const QString& candidate) {
        LText->setText(candidate);
        return LText->heightForWidth(ClientWidth) <= room;
    };
    if (!fits(text)) {
        const qsizetype separator = text.indexOf(QLatin1String(" : "));
        const qsizetype nameStart = separator < 0 ? 0 : separator + 3;
        const QString lead = text.left(nameStart);
        const QString name = text.mid(nameStart);
        const QFontMetrics metrics = LText->fontMetrics();
        // The widest middle-elided name that fits, found by halving.
        int shortest = 0;
        int longest = metrics.horizontalAdvance(name);
        while (longest - shortest > 1) {
            const int width = (shortest + longest) / 2;
            if (fits(lead + metrics.elidedText(name, Qt::ElideMiddle, width)))
                shortest = width;
            else
                longest = width;
        }
        fits(lead + metrics.elidedText(name, Qt::ElideMiddle, shortest));
    }
    const bool fitted = LText->heightForWidth(ClientWidth) <= room;
    LText->setAlignment(Qt::AlignHCenter | (fitted ? Qt::AlignVCenter : Qt::AlignTop));
}

void TFMessage::setInstance(TFMessage* window) {
    Registered() = window;
}

TFMessage* TFMessage::instance() {
    return Registered();
}

void TFMessage::moveToScreenCentre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void ShowProgress(const QString& caption, const QString& text, bool showBar) {
    if (TFMessage* window = TFMessage::instance())
        window->ShowProgress(caption, text, showBar);
}

void HideProgress() {
    if (TFMessage* window = TFMessage::instance())
        window->HideProgress();
}
