#pragma once

#include "selectionfont.h"

#include <QList>
#include <QStringList>
#include <QToolBar>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QTextEdit;

// The format toolbar tbFormatBar: the font box cboFont and size box cboSize, the formatting
// buttons (identified by key text, carried as the action's data()), and the frame Frame1 with
// the text-size selectors CobTxtWidth and CobTxtHeight.
class FormatToolBar : public QToolBar
{
    Q_OBJECT

public:
    explicit FormatToolBar(QWidget *parent = nullptr);

    // The keys in button order: "粗体","斜体","下划线","删除线" | "两端对齐","居中","右对齐" |
    // "项目符号","编号" | "减少缩进量","增加缩进量","段落" |
    // "字体颜色(红)","字体颜色(黄)","字体颜色(绿)","背景".
    static QStringList keys();
    // The keys whose buttons stay pressed: bold, italic, underline, strike-through, bullets,
    // numbering.
    static QStringList toggleKeys();

    QList<QAction *> buttons() const { return m_buttons; }
    QAction *button(const QString &key) const;

    QComboBox *cboFont() const { return m_cboFont; }
    QComboBox *cboSize() const { return m_cboSize; }
    QComboBox *CobTxtWidth() const { return m_cobTxtWidth; }
    QComboBox *CobTxtHeight() const { return m_cobTxtHeight; }

    // Start-up fill: "1".."100" into cboSize, CobTxtHeight and CobTxtWidth; cboSize shows "12".
    void fillSizes();
    // Start-up fill: `families` into cboFont in the order given; the 44th is selected, or
    // `fallback` when there are fewer.
    void fillFonts(const QStringList &families, const QString &fallback);
    // Shows the selection's font where it is uniform; the boxes keep their text otherwise.
    void showSelectionFont(const SelectionFont &font);

    // The texts the program gives this pane itself (tooltips, titles), in `language`; the
    // language file's texts are put on by the language switch.
    void showTexts(const QString &language);

    // The toggle buttons show the state of the canvas's selection; all up without a canvas.
    void showPressedStates(const QTextEdit *canvas);

signals:
    void buttonClicked(const QString &key);
    // The operator picked a font name or size, or finished typing one (Enter, or leaving the
    // box); never the selection writing its font back.
    void fontTextChanged(const QString &text);
    void sizeTextChanged(const QString &text);
    // The operator picked a text size in CobTxtWidth or CobTxtHeight, or typed one and
    // pressed Enter.
    void textWidthPicked(const QString &text);
    void textHeightPicked(const QString &text);

private:
    QComboBox *makeSizeBox(const char *name, int width);

    QList<QAction *> m_buttons;
    QComboBox *m_cboFont;
    QComboBox *m_cboSize;
    QFrame *m_frame1;
    QLabel *m_lblTxtWidth;
    QLabel *m_lblTxtHeight;
    QComboBox *m_cobTxtWidth;
    QComboBox *m_cobTxtHeight;
};
