#include "controls/ProgramFonts.h"

#include <QApplication>
#include <QFont>

void UseProgramFonts() {
    // Looked up in this order when the named face is missing; fontconfig's
    // own fallback (which can be a monospaced face on a minimal system) comes
    // only after these.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")});
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
}
