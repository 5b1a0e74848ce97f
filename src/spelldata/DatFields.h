#pragma once

#include "spelldata/SpellRecord.h"

#include <string>

namespace spelldata {

// The one-line text fields of a .Dat block, in the order the block holds
// them: they follow the name, reversible flag, kind letter and level lines and
// come before the book bits and the description. Every kind starts with the
// common fields and goes on with its own; Info entries are psionic records and
// hold the psionic fields.
template <typename T> using DatField = std::string T::*;

inline constexpr DatField<TBasic> DatCommonFields[] = {
    &TBasic::SavingThrow, &TBasic::Range, &TBasic::Source, &TBasic::AreaOfEffect, &TBasic::School,
};

inline constexpr DatField<TWiz> DatWizardFields[] = {
    &TWiz::Components,
    &TWiz::Duration,
    &TWiz::CastingTime,
};

inline constexpr DatField<TPri> DatPriestFields[] = {
    &TPri::Sphere,
    &TPri::Components,
    &TPri::Duration,
    &TPri::CastingTime,
};

inline constexpr DatField<TPsi> DatPsionicFields[] = {
    &TPsi::InitialCost,     &TPsi::PowerScore,    &TPsi::MaintenanceCost,
    &TPsi::PreparationTime, &TPsi::Prerequisites,
};

// Calls fn(field) for each of the record's .Dat fields in file order, const or
// not, and stops at the first call that returns false. Returns false when a
// call did.
template <typename Record, typename Fn> bool ForEachDatField(Record& record, Fn fn) {
    auto each = [&fn](const auto& fields, auto& typed) {
        for (const auto member : fields) {
            if (!fn(typed.*member))
                return false;
        }
        return true;
    };
    if (!each(DatCommonFields, record.basic()))
        return false;
    switch (record.kind()) {
    case SpellKind::Wizard:
        return each(DatWizardFields, record.wiz());
    case SpellKind::Priest:
        return each(DatPriestFields, record.pri());
    case SpellKind::Psionic:
        return each(DatPsionicFields, record.psi());
    }
    return false;
}

} // namespace spelldata
