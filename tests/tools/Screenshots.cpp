// Saves screenshots of the program's windows, opened on the sample
// collection, for looking at the layout and for the documentation:
//   screenshots OUTPUT_FOLDER
#include "Prompts.h"
#include "SpellListView.h"
#include "TListPanel.h"
#include "TMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

void copySample(const QString& folder) {
    for (const char* ext : {".Dat", ".SBK", ".SBN"}) {
        QFile::copy(QStringLiteral(QUARVINE_SOURCE_DIR "/samples/sample-spells") + ext,
                    folder + "sample" + ext);
    }
}

void save(QWidget* widget, const QString& path) {
    QApplication::processEvents();
    widget->grab().save(path);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir settings;
    const QString folder = settings.path() + "/";
    copySample(folder);

    PromptScript::Start();
    TMain window(folder);
    window.StartUp();
    window.resize(1000, 640);
    window.show();
    PromptScript::FileName(folder + "sample.Dat");
    window.findChild<QToolButton*>("BitBtn11")->click();
    window.findChild<QToolButton*>("BOpenConv")->click();
    TListPanel* panel = window.listPanel();
    panel->CBooks->setCurrentIndex(1);
    for (int slot : {0, 3, 7})
        window.spells()[slot]->Marked = 1;
    panel->SList->selectRow(5);
    save(&window, out + "/main-window.png");
    PromptScript::Stop();
    return 0;
}
