#pragma once

#include "rtfdocumentbuilder.h"
#include "rtfformats.h"
#include "rtfkeywords.h"
#include "rtflisttable.h"
#include "rtfpicture.h"
#include "rtfstate.h"
#include "rtftablerow.h"
#include "rtftextbuffer.h"
#include "rtftextdecoder.h"
#include "rtftokenizer.h"

#include <QHash>
#include <QImage>
#include <QStringList>

#include <optional>
#include <vector>

class QTextDocument;

// The RTF state machine: a stack of group states, destinations and the document-wide
// tables, feeding an RtfDocumentBuilder.
class RtfParser
{
public:
    static constexpr int maxGroupDepth = 4096; // deeper groups are read as part of their parent
    static constexpr int maxUnicodeSkip = 16; // \ucN beyond this is treated as this
    static constexpr int maxCellsPerRow = 4096; // \cellx beyond this are ignored
    static constexpr qint64 maxTotalImagePixels = 128ll * 1024 * 1024; // per document
    static constexpr int maxWarnings = 100;

    RtfParser(QByteArrayView rtf, QTextDocument *document);

    // Reads everything into the document; returns the warnings.
    QStringList parse();

private:
    enum class Destination : quint8 {
        Normal,
        Drop, // text is not shown, control words still apply
        FontTable,
        ColorTable,
        Picture,
        ListTable,
        List,
        ListLevel,
        LevelText,
        ListOverrideTable,
        ListOverride,
        OldList,
        OldListText,
        Background,
        Shape,
        ShapeProperty,
        ShapeName,
        ShapeValue,
    };
    enum class Root : quint8 {
        None,
        Picture,
        ShpPict,
        NonShpPict,
        List,
        LevelText,
        Override,
        OldList,
        OldListText,
        ShapeProperty
    };

    struct Group
    {
        RtfCharState chars;
        RtfParagraphState paragraph;
        Destination destination = Destination::Normal;
        Destination outer = Destination::Normal; // restored by \ud and \result
        Root root = Root::None; // the destination this group started
        bool inShpPict = false;
        bool inNonShpPict = false;
        quint8 unicodeSkip = 1;
    };

    Group &group() { return m_stack.back(); }
    void warn(const QString &warning);

    void openGroup();
    void closeGroup();
    void endRoot(const Group &closed);
    void skipGroup();
    bool skipUnicodeFallback(RtfToken &token);

    void handleControlWord(const RtfToken &token);
    bool handleDestination(RtfKeyword keyword);
    void handleTableWord(RtfKeyword keyword, const RtfToken &token);
    void handleListWord(RtfKeyword keyword, const RtfToken &token);
    void handleSymbol(char symbol);
    void handleText(QByteArrayView text);
    void handleHexByte(unsigned char byte);
    void handleUnicode(int value);

    void appendText(QByteArrayView bytes);
    void appendUnit(char16_t unit);
    void flushText();
    RtfParagraphEnd paragraphEnd();
    void endParagraph();
    void endDocument();

    void commitFont();
    void commitColor();
    void commitBorder();
    void finishPicture(const Group &closed);
    void insertImage(const QImage &image, const QSizeF &size);
    void flushPendingPicture();
    void contentEvent();

    RtfTokenizer m_tokenizer;
    QTextDocument *m_document;
    RtfDocumentBuilder m_builder;
    RtfFormats m_formats;
    RtfListTable m_lists;
    RtfTextDecoder m_decoder;
    std::vector<Group> m_stack;
    int m_overflowDepth = 0;
    bool m_rootClosed = false;
    int m_unicodeSkipLeft = 0;
    bool m_starPending = false;
    bool m_codePageFromAnsiCpg = false;
    QStringList m_warnings;
    bool m_depthWarned = false;

    // text run being collected for the document
    RtfTextBuffer m_text;
    RtfCharState m_runState;

    // font and colour table entries being read
    RtfTextBuffer m_fontName;
    int m_fontNumber = 0;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    bool m_fontPending = false;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colorHasComponent = false;
    int m_defaultFont = -1;

    // list numbering: one QTextList per (\ls, level) until a higher level resets it
    RtfTextBuffer m_auxText;
    QHash<quint64, int> m_listKeys;
    QHash<int, int> m_oldListKeys; // level → key, while consecutive \pn paragraphs run
    int m_nextListKey = 1;

    // tables
    RtfRowDefinition m_row;
    RtfCellDefinition m_cell;
    bool m_borderOpen = false;
    bool m_borderHasStyle = false;
    int m_borderWidth = 0;

    // pictures
    RtfPicture m_picture;
    std::optional<std::pair<QImage, QSizeF>> m_pendingPlaceholder;
    bool m_skipNonShpPict = false;
    qint64 m_imagePixels = 0;
    int m_imageCounter = 0;

    // shape properties (page background)
    QString m_shapeName;
    QString m_shapeValue;
};
