#include "ProgramDir.h"
#include "TForm1.h"
#include "TMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvine"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quarvine32"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    TMain main(ProgramDir());
    // A first argument of ":" skips the opening screen.
    if (argc < 2 || QString::fromLocal8Bit(argv[1]) != QLatin1String(":")) {
        TForm1 splash;
        splash.ShowOpenForm(false);
    }
    main.StartUp();
    main.show();
    return QApplication::exec();
}
