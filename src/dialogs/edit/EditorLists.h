#pragma once

#include <QStringList>

// The fixed item lists of the spell editor's drop-down boxes, in the order
// the boxes show them.
namespace editorlists {

// Positions 0..13 are the stored level values (0 cantrip .. 13 info).
QStringList Levels();

// Wizard and priest attributes.
QStringList Ranges();
QStringList Components();
QStringList Durations();
QStringList CastingTimes();
QStringList AreasOfEffect();
QStringList SavingThrows();

// Psionic attributes.
QStringList PowerScores();
QStringList MaintenanceCosts();
QStringList PsionicRanges();
QStringList PreparationTimes();
QStringList PsionicAreasOfEffect();

// The right-hand lists: wizard schools, priest spheres, psionic disciplines.
QStringList WizardSchools();
QStringList PriestSpheres();
QStringList Disciplines();

// Author or source; every item but "None" ends in one blank.
QStringList Sources();

// The discipline a psionic power's stored school text stands for. The first
// matching fragment wins, compared case-sensitively; a text that matches none
// is taken for "Clairsentience".
QString DisciplineFor(const QString& school);

} // namespace editorlists
