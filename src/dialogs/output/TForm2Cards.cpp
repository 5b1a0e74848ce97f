// The print dialog opened for spell cards.
#include "dialogs/output/TForm2.h"

#include "controls/ClickPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

void TForm2::BPrintCardsClick(const ListSource& source) {
    source_ = source;
    UpdateScopeButtons();
    keepGoing_ = true;
    enterPrintMode();
    enterCardsMode();
    BMin->setFocus();
    exec();
}

// Print mode without the description choice, which cards do not have; the
// title names the cards and no longer switches to saving.
void TForm2::enterCardsMode() {
    cardsMode_ = true;
    pannelHint_ = Pannel->toolTip();
    Pannel->setText(QStringLiteral("Print Cards"));
    Pannel->setToolTip(
        QStringLiteral("Spell cards of poker size, nine to a page: cut along the thin lines."));
    Desc->hide();
    LEXLines->hide();
    ExtraLines->hide();
    if (!CardsNote) {
        CardsNote = new QLabel(QStringLiteral("Poker-size cards, nine to a page"), this);
        CardsNote->setObjectName(QStringLiteral("CardsNote"));
        CardsNote->setGeometry(Desc->geometry().left(), Desc->geometry().top(),
                               width() - 2 * Desc->geometry().left(), Desc->height());
    }
    CardsNote->show();
    setWindowTitle(QStringLiteral("Printing Cards..."));
}

void TForm2::leaveCardsMode() {
    if (!cardsMode_)
        return;
    cardsMode_ = false;
    Pannel->setToolTip(pannelHint_);
    CardsNote->hide();
    Desc->show();
    DescClick();
}
