#include "dialogs/about/TForm1.h"

#include "controls/TextBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

// The picture lives in this library's resources, which a static library must
// register itself; the macro has to be used outside any namespace.
static void LoadSplashResources() {
    Q_INIT_RESOURCE(splash);
}

namespace {

constexpr int FullWidth = 439;
constexpr int FullHeight = 335;
constexpr int SplashHeight = 183; // leaves the picture and the credits
constexpr int SplashMilliseconds = 2000;

const QColor Silver(192, 192, 192);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

const char* const AboutText =
    "Quarvine keeps your spells, prayers and psionic powers in one place, "
    "ready to browse, search and print.\n\n"
    "Quarvine is free. Use it as much as you like and pass it on to your "
    "friends and fellow players, as long as nobody is asked to pay for it.\n\n"
    "Many thanks to everyone who sent spells, spotted mistakes and suggested "
    "improvements: this program is better for each of them.\n\n"
    "Questions, ideas and bug reports are welcome; you will find how to reach "
    "us on the project's home page.\n\n"
    "Tip: start the program with the argument \":\" (for example \"quarvine :\") "
    "and it opens without this opening screen.";

QFont TimesFont(int pixelHeight, bool bold, bool italic) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                  const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->adjustSize();
    return label;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    LoadSplashResources();
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(FullWidth, FullHeight);
    createPanel();
    createPicture();
    createLabels();
    createAboutText();
    createButtonAndTimer();
    centreOnScreen();
}

void TForm1::createPanel() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, Silver);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    Panel1->setPalette(palette);
    Panel1->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
}

void TForm1::createPicture() {
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(2, 4, 249, 175);
    Image1->setScaledContents(true);
    renderPicture();
}

void TForm1::createLabels() {
    Label4 = MakeLabel(Panel1, "Label4", QStringLiteral("Programing:"), TimesFont(13, true, true),
                       Qt::black);
    Label4->move(298, 20);
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("Spellwrights"), TimesFont(27, true, false),
                       Blue);
    Label1->move(272, 36);
    // Over the picture, which shows through around the letters.
    Label3 =
        MakeLabel(Panel1, "Label3", QStringLiteral("v. 1.20"), TimesFont(24, true, false), Red);
    Label3->setAttribute(Qt::WA_TranslucentBackground);
    Label3->move(164, 140);
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("with help from many players"),
                       TimesFont(13, true, true), Blue);
    Label2->move(432 - Label2->width(), 160);
}

void TForm1::createAboutText() {
    RE = new TextBox(Panel1);
    RE->setObjectName(QStringLiteral("RE"));
    RE->setGeometry(6, 180, 427, 121);
    RE->setFont(TimesFont(13, false, false));
    RE->setReadOnly(true);
    RE->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The selection stays marked when the text loses the focus.
    QPalette palette = RE->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    RE->setPalette(palette);
    RE->setPlainText(QString::fromUtf8(AboutText));
}

void TForm1::createButtonAndTimer() {
    BOK = new QPushButton(QStringLiteral("OK"), Panel1);
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setGeometry(384, 304, 49, 25);
    BOK->setDefault(true);
    connect(BOK, &QPushButton::clicked, this, &TForm1::BOKClick);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(SplashMilliseconds);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

void TForm1::ShowOpenForm(bool about) {
    if (about) {
        Timer1->stop();
        setFixedSize(FullWidth, FullHeight);
        RE->show();
        BOK->show();
        BOK->setFocus();
    } else {
        RE->hide();
        BOK->hide();
        setFixedSize(FullWidth, SplashHeight);
        Timer1->start();
    }
    centreOnScreen();
    exec();
}

void TForm1::Timer1Timer() {
    accept();
}

void TForm1::BOKClick() {
    accept();
}

void TForm1::showEvent(QShowEvent* event) {
    // The screen, and with it the pixel ratio, is known for sure only now.
    renderPicture();
    QDialog::showEvent(event);
}

void TForm1::renderPicture() {
    const qreal ratio = devicePixelRatioF();
    const QSize logical = Image1->size();
    QPixmap picture(logical * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Silver);
    QSvgRenderer svg(QStringLiteral(":/splash/splash.svg"));
    QPainter painter(&picture);
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(logical)));
    Image1->setPixmap(picture);
}

void TForm1::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
