#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The items of the effect panel's ten selectors and of the two text-size selectors, and
// which program-list column each effect selector edits.
namespace EffectLists {

// Entry effects, by position: "rightleft" (0) ... "move" (10). Rows store the position.
QStringList entryEffects();
// Exit effects, by position: "none" (0), "rightleft", "leftright", "downup", "updown", "stay".
QStringList exitEffects();
// The decimal texts first..last, ascending.
QStringList numberItems(int first, int last);

// Text sizes in modules offered by CobTxtWidth, CobTxtHeight, CobWidth and CobHeight, and
// font sizes offered by cboSize: "1".."100".
QStringList sizeItems();

enum class Items { EntryEffects, ExitEffects, Speeds, Times, Repeats, Sizes };

// One selector of the effect panel.
struct Selector
{
    const char *name; // object name, e.g. "CobSpeed"
    const char *label; // its label's object name, e.g. "LblSpeed"
    const char *caption; // its label's built-in text, e.g. "Speed"
    int column; // the program-list column it edits (2..11), also its column code
    Items items;
    bool byPosition; // the row stores the picked position, not the picked text
    bool editable; // CobWidth and CobHeight take typed text (which writes nothing)
};

// In panel order: CobEffect, CobSpeed, CobTimes, CobRepeat, CobEffectE, CobSpeedE,
// CobTimesE, CobRepeatE, CobWidth, CobHeight.
const std::array<Selector, 10> &selectors();

// The items of a selector kind.
QStringList itemsOf(Items items);

// The selector that edits `column`, or nullptr for a column no selector edits.
const Selector *selectorForColumn(int column);

} // namespace EffectLists
