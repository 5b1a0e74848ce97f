#include "mainwindow/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramDir() {
    const QString own = QCoreApplication::applicationDirPath();
    // A copy installed under /usr counts as installed even for root, who
    // could write there.
    const bool installed = own.startsWith(QLatin1String("/usr/"));
    if (!installed && QFileInfo(own).isWritable())
        return own + QLatin1Char('/');
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config + QLatin1Char('/');
}
