// Test helper: prints, one line per file, the MIME type Qt's shared MIME
// database gives each file named on the command line (name and content).
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QMimeDatabase db;
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        out << db.mimeTypeForFile(args.at(i)).name() << '\n';
    return args.size() > 1 ? 0 : 1;
}
