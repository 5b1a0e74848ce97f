// Saves screenshots of the program's windows, opened on the sample
// collection, for looking at the layout and for the documentation:
//   screenshots OUTPUT_FOLDER
#include "controls/ProgramFonts.h"
#include "controls/Prompts.h"
#include "dialogs/edit/TFEdit.h"
#include "dialogs/info/TFInfo.h"
#include "mainwindow/QuickFilterBar.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "mainwindow/TMain.h"
#include "session/SessionHistory.h"
#include "session/SpellSession.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <cstdio>
#include <functional>

namespace {

void copySample(const QString& folder) {
    for (const char* ext : {".Dat", ".SBK", ".SBN"}) {
        QFile::copy(QStringLiteral(QUARVINE_SOURCE_DIR "/samples/sample-spells") + ext,
                    folder + "sample" + ext);
    }
}

void save(QWidget* widget, const QString& path) {
    QApplication::processEvents();
    if (!widget || !widget->grab().save(path))
        std::fprintf(stderr, "screenshots: could not save %s\n", qPrintable(path));
}

// Selects the list row that shows the spell named `name` (the stored name may
// end in a blank); returns false when no row shows it.
bool selectSpell(TMain& window, const QString& name) {
    SpellListModel* model = window.listModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->data(model->index(row), Qt::DisplayRole).toString().trimmed() == name) {
            window.listPanel()->SList->selectRow(row);
            return true;
        }
    }
    std::fprintf(stderr, "screenshots: no spell named %s in the list\n", qPrintable(name));
    return false;
}

// Opens a Quick Info window on `name`, as a double-click on its name does,
// and saves it.
void saveQuickInfo(TMain& window, const QString& name, const QString& path) {
    if (!selectSpell(window, name))
        return;
    window.listPanel()->SList->setNameArea(true);
    window.SListDblClick();
    for (QMdiSubWindow* sub : window.mdiArea()->subWindowList()) {
        auto* info = qobject_cast<TFInfo*>(sub);
        if (info && info->tag() == 0 && info->windowTitle().trimmed() == name) {
            save(info, path);
            return;
        }
    }
    std::fprintf(stderr, "screenshots: no Quick Info window for %s\n", qPrintable(name));
}

// Presses the tool button or chooses the menu command named `command` on the
// main window; once the modal dialog it opens is up,
// `prepare` sets it for the picture, the dialog is saved and then closed
// without doing anything.
void saveModal(TMain& window, const char* command, const QString& path,
               const std::function<void(QDialog*)>& prepare = {}) {
    QTimer::singleShot(0, &window, [path, prepare] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            std::fprintf(stderr, "screenshots: no dialog open for %s\n", qPrintable(path));
            return;
        }
        if (prepare)
            prepare(dialog);
        save(dialog, path);
        dialog->reject();
    });
    if (auto* button = window.findChild<QToolButton*>(QLatin1String(command)))
        button->click();
    else
        window.findChild<QAction*>(QLatin1String(command))->trigger();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseProgramFonts();
    QApplication::setApplicationName(QStringLiteral("Quarvine"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir settings(QDir::tempPath() + QStringLiteral("/quarvine-XXXXXX"));
    const QString folder = settings.path() + "/";
    copySample(folder);

    PromptScript::Start();
    TMain window(folder);
    window.StartUp();
    window.show();
    // A first start: no settings, the window at its own size, nothing open.
    save(&window, out + "/first-start.png");
    // Then a larger window, the Quick View enlarged to its design size.
    window.resize(1000, 640);
    window.quickView()->resize(window.quickView()->sizeHint());
    PromptScript::FileName(folder + "sample.Dat");
    window.findChild<QToolButton*>("BitBtn11")->click();
    window.findChild<QToolButton*>("BOpenConv")->click();
    TListPanel* panel = window.listPanel();
    panel->CBooks->setCurrentIndex(1);
    for (int slot : {0, 3, 7})
        window.session()->rawSpells()[slot]->Marked = 1;
    window.session()->rawSpells().RecountMarks();
    window.ShowCounters();
    panel->SList->selectRow(5);
    save(&window, out + "/main-window.png");

    // The quick filter field, opened with its button in the counter bar, a
    // few letters typed and Enter pressed.
    panel->BQuick->click();
    panel->QuickBar->field()->setText(QStringLiteral("lat"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(panel->QuickBar->field(), &enter);
    save(&window, out + "/quick-filter.png");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(panel->QuickBar->field(), &escape);

    // The Edit menu after a spell was marked, drawn over the window where it
    // opens.
    window.history()->toggleMark(window.session()->slotOfRow(2));
    QMenu* edit = window.findChild<QMenu*>(QStringLiteral("EditMenu"));
    const QRect title = window.menuBar()->actionGeometry(edit->menuAction());
    edit->popup(window.menuBar()->mapToGlobal(title.bottomLeft()));
    QPixmap withMenu = window.grab();
    QPainter(&withMenu).drawPixmap(window.mapFromGlobal(edit->pos()), edit->grab());
    edit->hide();
    if (!withMenu.save(out + "/edit-menu.png"))
        std::fprintf(stderr, "screenshots: could not save the Edit menu\n");
    window.history()->stack()->undo();

    // Quick Info windows of a priest prayer and of a psionic science.
    saveQuickInfo(window, QStringLiteral("Ember Psalm"), out + "/quick-info-priest.png");
    saveQuickInfo(window, QStringLiteral("Second Shadow"), out + "/quick-info-psionic.png");

    // The editor, opened on a prayer as a double-click does while
    // "Edit Spells on Double Click" is down.
    if (selectSpell(window, QStringLiteral("Ember Psalm"))) {
        panel->BEdit->setChecked(true);
        window.listPanel()->SList->setNameArea(true);
        QTimer::singleShot(0, &window, [&out] {
            auto* editor = qobject_cast<TFEdit*>(QApplication::activeModalWidget());
            if (!editor) {
                std::fprintf(stderr, "screenshots: the editor did not open\n");
                return;
            }
            save(editor, out + "/editor.png");
            editor->reject();
        });
        window.SListDblClick();
        panel->BEdit->setChecked(false);
    }

    // The print dialog in print mode and in save mode, with description.
    const auto withDescription = [](QDialog* d) {
        d->findChild<QCheckBox*>(QStringLiteral("Desc"))->setChecked(true);
    };
    saveModal(window, "BPrint", out + "/print-dialog.png", withDescription);
    saveModal(window, "BSaveText", out + "/save-text-dialog.png", withDescription);
    saveModal(window, "MPrintCards", out + "/print-cards-dialog.png");

    saveModal(window, "BColorConfig", out + "/configuration.png");
    saveModal(window, "BSearch", out + "/search.png", [](QDialog* d) {
        d->findChild<QComboBox*>(QStringLiteral("SearchStr"))->setEditText(QStringLiteral("ember"));
    });

    for (const QString& prompt : PromptScript::Unexpected())
        std::fprintf(stderr, "screenshots: unexpected prompt: %s\n", qPrintable(prompt));
    PromptScript::Stop();
    return 0;
}
