#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QTextCursor>

#include <optional>

class QClipboard;
class QTextDocument;

// The format-toolbar and Edit-menu commands on a page, free of windows so tests can drive
// them on a plain document. Each acts on `cursor`: its selection, or with no selection the
// format that typing at the cursor will use. A page window hands the cursor back with
// setTextCursor() afterwards so that typing continues in the new format.
namespace Page {

// The format toolbar's keys, in toolbar order. The keys are the toolbar's identifiers.
namespace FormatKey {
inline const QString Bold = QStringLiteral("粗体");
inline const QString Italic = QStringLiteral("斜体");
inline const QString Underline = QStringLiteral("下划线");
inline const QString StrikeOut = QStringLiteral("删除线");
inline const QString AlignLeft = QStringLiteral("两端对齐"); // left, not justified
inline const QString AlignCentre = QStringLiteral("居中");
inline const QString AlignRight = QStringLiteral("右对齐");
inline const QString Bullets = QStringLiteral("项目符号");
inline const QString Numbering = QStringLiteral("编号");
inline const QString IndentLess = QStringLiteral("减少缩进量");
inline const QString IndentMore = QStringLiteral("增加缩进量");
inline const QString Paragraph = QStringLiteral("段落");
inline const QString ColorRed = QStringLiteral("字体颜色(红)");
inline const QString ColorYellow = QStringLiteral("字体颜色(黄)");
inline const QString ColorGreen = QStringLiteral("字体颜色(绿)");
inline const QString Background = QStringLiteral("背景");
} // namespace FormatKey

QStringList formatBarKeys();

// Title of the colour dialog of the "背景" key.
inline QString backgroundDialogTitle()
{
    return QStringLiteral("背景颜色");
}

// The four character attributes with a toggle button.
enum class CharToggle { Bold, Italic, Underline, StrikeOut };

// The attribute of the whole selection (or of the typing format without a selection);
// no value when the selection mixes set and unset text.
std::optional<bool> charAttribute(const QTextCursor &cursor, CharToggle which);

// Negates the attribute and reads it back. Returns the button's pressed state: true when
// the attribute is now set. A mixed selection is left as it is and gives false.
bool toggleCharAttribute(QTextCursor &cursor, CharToggle which);

// Paragraph alignment codes of the page: 0 left, 1 right, 2 centre.
enum class ParagraphAlignment { Left = 0, Right = 1, Centre = 2 };
void setAlignment(QTextCursor &cursor, ParagraphAlignment alignment);
ParagraphAlignment alignment(const QTextCursor &cursor); // of the cursor's paragraph

// Whether every paragraph the selection touches is a bulleted list item; no value when some
// are and some are not.
std::optional<bool> bulletState(const QTextCursor &cursor);

// Bullets on for every paragraph the selection touches; pressing it again leaves them on.
void setBullets(QTextCursor &cursor);

// The numbering key's bullet toggle: bullets on when they are off or mixed (returns true,
// the button shows pressed); bullets off and hanging indent 0 when they are on (returns
// false).
bool toggleBullets(QTextCursor &cursor);

// Sets the colour of the selection, or the typing colour without a selection.
void setTextColor(QTextCursor &cursor, const QColor &color);

// The indent step of the two indent keys, in millimetres.
constexpr qreal kIndentStepMm = 13.0;
constexpr qreal kMillimetresPerInch = 25.4;
constexpr qreal kUnitsPerInch = 96.0; // page units: 1 px at 96 dpi

// Left indent of the cursor's paragraph in millimetres.
qreal leftIndentMm(const QTextCursor &cursor);

// Moves the left indent of every paragraph the selection touches by `deltaMm`. A paragraph
// whose indent would become negative keeps its indent, as a negative indent is refused.
// True when at least one paragraph changed.
bool changeLeftIndent(QTextCursor &cursor, qreal deltaMm);

// Exact line spacing of 270 twips for every paragraph; the cursor then selects the whole
// text.
void applyExactLineSpacing(QTextCursor &cursor);

// The whole page's background colour.
void setPageBackground(QTextDocument *document, const QColor &color);

// The outcome of one format key.
struct FormatKeyResult
{
    bool handled = false; // the key is one this function runs
    // For the toggles and the numbering key: the button's new pressed state.
    std::optional<bool> pressed;
};

// Whether the button of a toggle key (the four character toggles, "项目符号" and "编号")
// shows pressed for `cursor`: the attribute is set on the whole selection, or every paragraph
// it touches is bulleted. False for a mixed selection and for every other key.
bool formatKeyPressed(const QTextCursor &cursor, const QString &key);

// Runs one format-toolbar key on `cursor`. "背景" needs a colour chosen by the user and is
// not run here (use setPageBackground); it and unknown keys give handled = false.
FormatKeyResult applyFormatKey(const QString &key, QTextCursor &cursor);

// The font-name box: the selection's (or typing) font family as typed; an empty name is
// ignored. False when nothing was applied.
bool applyFontFamily(QTextCursor &cursor, const QString &family);

// The largest font size, in points, the page's RTF can carry (its sizes are half points in
// 16 bits).
constexpr qreal kMaxFontPointSize = 1638.0;

// The font-size box: the text read as a size in points, 1 to kMaxFontPointSize; anything else
// leaves the size unchanged and gives false.
bool applyFontSize(QTextCursor &cursor, const QString &sizeText);

// Edit commands. Copy and Cut put the selection's plain text on the clipboard; with an empty
// selection they leave the clipboard and the page untouched and return false.
bool copyPlainText(const QTextCursor &cursor, QClipboard *clipboard);
bool cutPlainText(QTextCursor &cursor, QClipboard *clipboard);
// Replaces the selection by the clipboard's plain text; formatting and pictures on the
// clipboard are not pasted.
void pastePlainText(QTextCursor &cursor, const QClipboard *clipboard);
// Selects the whole text.
void selectAll(QTextCursor &cursor);
// Empties the page: text, formatting and pictures. The page background stays.
void clearText(QTextCursor &cursor);

} // namespace Page
