#include "controls/GuiText.h"
#include "controls/ProgramFonts.h"
#include "controls/SvgIcon.h"
#include "dialogs/about/TForm1.h"
#include "mainwindow/ProgramDir.h"
#include "mainwindow/TMain.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UseProgramFonts();
    QApplication::setApplicationName(QStringLiteral("Quarvine"));
    QApplication::setWindowIcon(SvgIcon(QStringLiteral(":/icons/app.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quarvine.Quarvine"));

    TMain main(ProgramDir());
    // A first argument of ":" skips the opening screen.
    if (argc < 2 || QString::fromLocal8Bit(argv[1]) != QLatin1String(":")) {
        TForm1 splash;
        splash.ShowOpenForm(false);
    }
    main.StartUp();
    main.show();
    // A file given on the command line (as the desktop does when a data or
    // spell text file is opened with Quarvine) opens as if dropped on the window.
    // The name's bytes are taken as given, also when they are not UTF-8.
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) != ":") {
            main.openPath(QFileInfo(PathFromBytes(QByteArray(argv[i]))).absoluteFilePath());
            break;
        }
    }
    return QApplication::exec();
}
