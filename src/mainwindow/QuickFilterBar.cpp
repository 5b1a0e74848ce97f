#include "mainwindow/QuickFilterBar.h"

#include "controls/SvgIcon.h"
#include "mainwindow/SpellListView.h"
#include "session/SpellSession.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

QuickFilterBar::QuickFilterBar(QWidget* parent) : QWidget(parent), field_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("QuickBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 1);
    field_->setObjectName(QStringLiteral("QuickFilter"));
    field_->setPlaceholderText(QStringLiteral("Name  (d: description, s: school, src: source)"));
    field_->setToolTip(QStringLiteral(
        "Shows only the listed spells whose name holds the text. Begin with d: to search the "
        "descriptions too, s: the schools, src: the sources. Enter goes to the list, Escape "
        "shows the whole list again."));
    field_->setClearButtonEnabled(true);
    field_->addAction(SvgIcon(QStringLiteral(":/icons/BQuick.svg")), QLineEdit::LeadingPosition);
    // The field's own icon buttons: the search sign and the clear button.
    for (QToolButton* b : field_->findChildren<QToolButton*>()) {
        const bool clears = b->defaultAction() &&
                            b->defaultAction()->objectName().contains(QStringLiteral("clear"));
        b->setAccessibleName(clears ? QStringLiteral("Clear the quick filter")
                                    : QStringLiteral("Quick filter"));
    }
    field_->installEventFilter(this);
    layout->addWidget(field_);
    connect(field_, &QLineEdit::textChanged, this, &QuickFilterBar::narrow);
    connect(field_, &QLineEdit::returnPressed, this, &QuickFilterBar::toList);
    hide();
}

void QuickFilterBar::attach(SpellSession& session, SpellListView& list) {
    session_ = &session;
    list_ = &list;
}

void QuickFilterBar::open() {
    if (!session_ || !isEnabled())
        return;
    if (isHidden()) {
        slotAtOpen_ = session_->slotOfRow(list_->selectedRow());
        session_->prepareNarrowing();
        show();
    }
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void QuickFilterBar::dismiss() {
    if (isHidden() && field_->text().isEmpty())
        return;
    {
        const QSignalBlocker quiet(field_);
        field_->clear();
    }
    hide();
    if (session_ && session_->narrowed())
        session_->narrow({});
}

void QuickFilterBar::narrow(const QString& text) {
    if (session_)
        session_->narrow(text.toUtf8().toStdString());
}

void QuickFilterBar::toList() {
    list_->setFocus(Qt::OtherFocusReason);
    list_->selectRow(0);
}

// Back to the whole list, on the spell chosen in the narrowed one, or else on
// the one chosen before the typing began.
void QuickFilterBar::escape() {
    const int chosen = session_->slotOfRow(list_->selectedRow());
    dismiss();
    const int row = session_->rowOfSlot(chosen >= 0 ? chosen : slotAtOpen_);
    list_->setFocus(Qt::OtherFocusReason);
    list_->selectRow(row >= 0 ? row : 0);
}

bool QuickFilterBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress && session_ &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        escape();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
