#pragma once

// The bookkeeping of the spell session and of the main window showing it,
// as every random session checks it after each step:
//   - Count records in slots 0..Count-1, none past the capacity, each whole;
//   - MarkedCount equals the marked records;
//   - Shown is set exactly on the spells of the filter run, ShownCount
//     equals its rows;
//   - every row's slot is below Count and appears once;
//   - the listed rows are the run's, or some of them in the run's order
//     while the quick filter narrows the list;
//   - a list with rows is visible, and the counters show those numbers.
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "mainwindow/TMain.h"
#include "session/SpellSession.h"

#include <QLabel>
#include <string>
#include <vector>

// Empty when the session's own bookkeeping holds; otherwise what is wrong.
// `rowsOfSlot` receives, per slot, how many rows of the filter run show it.
inline std::string SessionFault(const SpellSession& session,
                                std::vector<int>* rowsOfSlot = nullptr) {
    const spelldata::SpellCollection& s = session.spells();
    const int count = s.Count();
    const int rows = static_cast<int>(session.runRows().size());
    if (count > spelldata::SpellCollection::Capacity)
        return "more records than slots";
    for (int slot = 0; slot < count; ++slot) {
        const spelldata::SpellRecord& r = s[slot];
        if (r->Kind != static_cast<std::uint8_t>(r.kind()) || r->Level > 13 || r->Name.empty())
            return "slot " + std::to_string(slot) + " holds a damaged record";
    }
    if (s.MarkedCount() != s.CountMarked())
        return "MarkedCount " + std::to_string(s.MarkedCount()) + " but " +
               std::to_string(s.CountMarked()) + " records are marked";
    if (s.ShownCount != rows)
        return "ShownCount " + std::to_string(s.ShownCount) + " but " + std::to_string(rows) +
               " rows";
    std::vector<int> seen(static_cast<std::size_t>(count), 0);
    for (int row = 0; row < rows; ++row) {
        const int slot = session.runRows()[static_cast<std::size_t>(row)];
        if (slot < 0 || slot >= count)
            return "row " + std::to_string(row) + " shows slot " + std::to_string(slot) + " of " +
                   std::to_string(count);
        ++seen[static_cast<std::size_t>(slot)];
    }
    for (int slot = 0; slot < count; ++slot) {
        const int n = seen[static_cast<std::size_t>(slot)];
        if (n > 1 || (n == 1) != (s[slot]->Shown != 0))
            return "slot " + std::to_string(slot) + " has Shown " + std::to_string(s[slot]->Shown) +
                   " and " + std::to_string(n) + " rows";
    }
    // The listed rows: the run's rows, some left out.
    std::size_t inRun = 0;
    for (const int slot : session.rows()) {
        while (inRun < session.runRows().size() && session.runRows()[inRun] != slot)
            ++inRun;
        if (inRun++ >= session.runRows().size())
            return "slot " + std::to_string(slot) + " is listed out of the filter run's order";
    }
    if (!session.narrowed() && session.rows() != session.runRows())
        return "the list is not the filter run's";
    if (rowsOfSlot)
        *rowsOfSlot = std::move(seen);
    return {};
}

// The same for the window: the session's bookkeeping, the list showing the
// session's rows, and the counters showing its numbers.
inline std::string BookkeepingFault(TMain& window, std::vector<int>* rowsOfSlot = nullptr) {
    const SpellSession& session = *window.session();
    if (std::string wrong = SessionFault(session, rowsOfSlot); !wrong.empty())
        return wrong;
    const spelldata::SpellCollection& s = session.spells();
    const int count = s.Count();
    const int rows = window.listModel()->rowCount();
    if (rows != static_cast<int>(session.rows().size()))
        return "the list has " + std::to_string(rows) + " rows, the session " +
               std::to_string(session.rows().size());
    if (rows > 0 && window.isVisible() && !window.listPanel()->SList->isVisible())
        return "the list has rows but is hidden";
    const auto label = [&](const char* name) {
        return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    const bool narrowed = session.narrowed();
    const int of = narrowed ? static_cast<int>(session.runRows().size()) : count;
    if (label("LMax") != QString::number(of) || label("LCur") != QString::number(rows) ||
        label("LMark") != QString::number(s.MarkedCount()))
        return "counters show " + label("LCur").toStdString() + "/" + label("LMax").toStdString() +
               "/" + label("LMark").toStdString();
    return {};
}
