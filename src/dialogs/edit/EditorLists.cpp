#include "dialogs/edit/EditorLists.h"

#include <initializer_list>
#include <utility>

namespace editorlists {

namespace {

QStringList items(std::initializer_list<const char*> texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

QStringList Levels() {
    return items({"Cantrip", "1st level Spell", "2nd level Spell", "3rd level Spell",
                  "4th level Spell", "5th level Spell", "6th level Spell", "7th level Spell",
                  "8th level Spell", "9th level Spell", "10th level Spell or Quest Spell",
                  "Devotion", "Science", "Info"});
}

QStringList Ranges() {
    return items({"0", "Touch", "Special", "yards/level", "10 yards/level", "30 yards", ""});
}

QStringList Components() {
    return items({"Special", "Nil", "V", "S", "M", "V,S", "V,M", "M,S", "V,S,M"});
}

QStringList Durations() {
    return items({"Instantaneous", "Permanent", "Special", "rounds/level", "turns/level",
                  "hours/level", "days/level", "1 round", "1 turn"});
}

QStringList CastingTimes() {
    return items({"Special", "1", "2", "3", "4", "5", "6", "7", "8", "9", "1 round", "1 turn"});
}

QStringList AreasOfEffect() {
    return items({"Special", "One Creature", "Creature Touched", "The Caster"});
}

QStringList SavingThrows() {
    // The one-half sign, byte 189 in the Windows-1252 data files.
    return items({"Special", "\u00BD", "None", "Nil", "Neg."});
}

QStringList PowerScores() {
    return items({"STR", "DEX", "CON", "INT", "WIS", "CHA"});
}

QStringList MaintenanceCosts() {
    return items({"Special", "/round", "/turn", "/hour", "na", ""});
}

QStringList PsionicRanges() {
    return items({"Special", "0", "Touch", "yards"});
}

QStringList PreparationTimes() {
    return items({"Special", "0"});
}

QStringList PsionicAreasOfEffect() {
    return items({"Individual", "Personal", "Special", "1 item", "1 object", "None", ""});
}

QStringList WizardSchools() {
    return items({"Abjuration", "Alteration", "Conjuration/Summoning", "Enchantment/Charm",
                  "Illusion/Phantasm", "Invocation/Evocation", "Divination", "Necromancy",
                  "Wild Magic", "Elemental", "Elemental(Air)", "Elemental(Earth)",
                  "Elemental(Fire)", "Elemental(Water)"});
}

QStringList PriestSpheres() {
    return items({"All",
                  "Animal",
                  "Astral",
                  "Chaos",
                  "Charm",
                  "Combat",
                  "Creation",
                  "Divination",
                  "Elemental",
                  "Elemental (Air)",
                  "Elemental (Earth)",
                  "Elemental (Fire)",
                  "Elemental (Water)",
                  "Guardian",
                  "Healing",
                  "Law",
                  "Necromantic",
                  "Numbers",
                  "Plant",
                  "Protection",
                  "Summoning",
                  "Sun",
                  "Thought",
                  "Time",
                  "Travelers",
                  "War",
                  "Wards",
                  "Weather"});
}

QStringList Disciplines() {
    return items({"Clairsentience", "Psychokinesis", "Psychometabolism", "Psychoportation",
                  "Telepathy", "Metapsionics"});
}

QStringList Sources() {
    return items({"None", "(Players Hand Book) ", "(Tome Of Magic) ", "(Psionics HandBook) ",
                  "(Wizard's HandBook) ", "(Dragon Magazine) "});
}

QString DisciplineFor(const QString& school) {
    // "olism" comes before "eta" so that "Psychometabolism" is not taken for
    // "Metapsionics".
    static const std::pair<const char*, const char*> rules[] = {
        {"olism", "Psychometabolism"}, {"kinesis", "Psychokinesis"}, {"orta", "Psychoportation"},
        {"elepat", "Telepathy"},       {"eta", "Metapsionics"},
    };
    for (const auto& [fragment, discipline] : rules)
        if (school.contains(QLatin1String(fragment), Qt::CaseSensitive))
            return QString::fromLatin1(discipline);
    return QStringLiteral("Clairsentience");
}

} // namespace editorlists
