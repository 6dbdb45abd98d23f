#include "effectlists.h"

#include "rowsource.h"

namespace EffectLists {

QStringList entryEffects()
{
    return { QStringLiteral("rightleft"), QStringLiteral("leftright"), QStringLiteral("downup"),
        QStringLiteral("updown"), QStringLiteral("stay"), QStringLiteral("flash"),
        QStringLiteral("unknow"), QStringLiteral("shutter"), QStringLiteral("lazer"),
        QStringLiteral("zoomup"), QStringLiteral("move") };
}

QStringList exitEffects()
{
    return { QStringLiteral("none"), QStringLiteral("rightleft"), QStringLiteral("leftright"),
        QStringLiteral("downup"), QStringLiteral("updown"), QStringLiteral("stay") };
}

QStringList numberItems(int first, int last)
{
    QStringList items;
    for (int i = first; i <= last; ++i)
        items.append(QString::number(i));
    return items;
}

QStringList sizeItems()
{
    return numberItems(1, 100);
}

const std::array<Selector, 10> &selectors()
{
    static const std::array<Selector, 10> table { {
        { "CobEffect", "LblEffect", "Effect", ListColumn::Effect, Items::EntryEffects, true,
            false },
        { "CobSpeed", "LblSpeed", "Speed", ListColumn::Speed, Items::Speeds, false, false },
        { "CobTimes", "LblTimes", "Time", ListColumn::Times, Items::Times, false, false },
        { "CobRepeat", "LblRepeat", "Repeat", ListColumn::Repeat, Items::Repeats, false, false },
        { "CobEffectE", "LblEffectE", "EEffect", ListColumn::EEffect, Items::ExitEffects, true,
            false },
        { "CobSpeedE", "LblSpeedE", "ESpeed", ListColumn::ESpeed, Items::Speeds, false, false },
        { "CobTimesE", "LblTimesE", "ETime", ListColumn::ETime, Items::Times, false, false },
        { "CobRepeatE", "LblRepeatE", "ERepeat", ListColumn::ERepeat, Items::Repeats, false,
            false },
        { "CobWidth", "LblWidth", "TextWidth", ListColumn::TWidth, Items::Sizes, false, true },
        { "CobHeight", "LblHeight", "TextHeight", ListColumn::THeight, Items::Sizes, false, true },
    } };
    return table;
}

QStringList itemsOf(Items items)
{
    switch (items) {
    case Items::EntryEffects:
        return entryEffects();
    case Items::ExitEffects:
        return exitEffects();
    case Items::Speeds:
        return numberItems(1, 25);
    case Items::Times:
        return numberItems(0, 25);
    case Items::Repeats:
        return numberItems(1, 125);
    case Items::Sizes:
        return sizeItems();
    }
    return {};
}

const Selector *selectorForColumn(int column)
{
    for (const Selector &s : selectors()) {
        if (s.column == column)
            return &s;
    }
    return nullptr;
}

} // namespace EffectLists
