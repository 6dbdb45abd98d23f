#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QTextListFormat>

// The lists of a file (\listtable and \listoverridetable): what marker each \lsN level
// shows. The reader feeds it while parsing the two tables.
class RtfListTable
{
public:
    static constexpr int maxLevels = 9; // RTF lists have levels 0 … 8

    // Word's \levelnfc numbering formats that matter here.
    enum NumberFormat {
        Decimal = 0,
        UpperRoman = 1,
        LowerRoman = 2,
        UpperLetter = 3,
        LowerLetter = 4,
        BulletFormat = 23,
        NoNumber = 255
    };

    void beginList();
    void setListId(int id);
    void beginLevel();
    void setLevelNumberFormat(int format);
    void setLevelText(const QString &text); // \leveltext content, length byte included
    void endList();

    void beginOverride();
    void setOverrideListId(int id);
    void setOverrideNumber(int ls);
    void endOverride();

    // Whether paragraphs with \lsN\ilvlM show a marker. Unknown lists do, as bullets.
    bool showsMarker(int ls, int level) const;
    // The format of level `level` (0-based) of list \lsN, indent = level + 1.
    QTextListFormat format(int ls, int level) const;

    static QTextListFormat::Style bulletStyle(QChar bullet);

private:
    struct Level
    {
        int numberFormat = Decimal;
        QString text;
    };
    struct Definition
    {
        QList<Level> levels;
    };
    const Level *level(int ls, int level) const;

    QHash<int, Definition> m_lists; // by \listid
    QHash<int, int> m_overrides; // \ls → \listid
    Definition m_current;
    int m_currentId = 0;
    int m_overrideListId = 0;
    int m_overrideNumber = 0;
};
