#pragma once

#include "spelldata/SpellRecord.h"

#include <string>

namespace formats {

// The string fields of a record under their JSON keys, in the order a reader
// expects them: name, school (the discipline of psionic powers), the kind's
// fields, source and description. Every string a record holds is among them.
template <typename T> struct TextField {
    const char* key;   // in JSON
    const char* label; // in CSV and Markdown
    std::string T::*member;
};

using spelldata::TPri;
using spelldata::TPsi;
using spelldata::TWiz;

inline constexpr TextField<TWiz> WizardFields[] = {
    {"name", "Name", &TWiz::Name},
    {"school", "School", &TWiz::School},
    {"range", "Range", &TWiz::Range},
    {"components", "Components", &TWiz::Components},
    {"duration", "Duration", &TWiz::Duration},
    {"castingTime", "Casting Time", &TWiz::CastingTime},
    {"areaOfEffect", "Area of Effect", &TWiz::AreaOfEffect},
    {"savingThrow", "Saving Throw", &TWiz::SavingThrow},
    {"source", "Source", &TWiz::Source},
    {"description", "Description", &TWiz::Description},
};

inline constexpr TextField<TPri> PriestFields[] = {
    {"name", "Name", &TPri::Name},
    {"school", "School", &TPri::School},
    {"sphere", "Sphere", &TPri::Sphere},
    {"range", "Range", &TPri::Range},
    {"components", "Components", &TPri::Components},
    {"duration", "Duration", &TPri::Duration},
    {"castingTime", "Casting Time", &TPri::CastingTime},
    {"areaOfEffect", "Area of Effect", &TPri::AreaOfEffect},
    {"savingThrow", "Saving Throw", &TPri::SavingThrow},
    {"source", "Source", &TPri::Source},
    {"description", "Description", &TPri::Description},
};

inline constexpr TextField<TPsi> PsionicFields[] = {
    {"name", "Name", &TPsi::Name},
    {"discipline", "Discipline", &TPsi::School},
    {"powerScore", "Power Score", &TPsi::PowerScore},
    {"initialCost", "Initial Cost", &TPsi::InitialCost},
    {"maintenanceCost", "Maintenance Cost", &TPsi::MaintenanceCost},
    {"range", "Range", &TPsi::Range},
    {"preparationTime", "Preparation Time", &TPsi::PreparationTime},
    {"areaOfEffect", "Area of Effect", &TPsi::AreaOfEffect},
    {"savingThrow", "Saving Throw", &TPsi::SavingThrow},
    {"prerequisites", "Prerequisites", &TPsi::Prerequisites},
    {"source", "Source", &TPsi::Source},
    {"description", "Description", &TPsi::Description},
};

// Calls fn(key, label, field) for each string field of the record, const or not.
template <typename Record, typename Fn> void ForEachTextField(Record& record, Fn fn) {
    auto each = [&fn](auto& fields, auto& typed) {
        for (const auto& f : fields)
            fn(f.key, f.label, typed.*(f.member));
    };
    switch (record.kind()) {
    case spelldata::SpellKind::Wizard:
        each(WizardFields, record.wiz());
        break;
    case spelldata::SpellKind::Priest:
        each(PriestFields, record.pri());
        break;
    case spelldata::SpellKind::Psionic:
        each(PsionicFields, record.psi());
        break;
    }
}

} // namespace formats
