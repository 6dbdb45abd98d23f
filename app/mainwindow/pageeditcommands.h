#pragma once

#include "canvascommands.h"

#include <QObject>

class FormatToolBar;
class PageCanvas;
class PageFileHost;
class QWidget;
class frmDocument;

// The Edit menu, the format toolbar (its keys and font boxes) and the text-size selectors, on
// the active page window. The format toolbar shows the state of the active page's selection.
// Nothing happens without an active page.
class PageEditCommands : public QObject
{
    Q_OBJECT

public:
    // `bar` and `host` are the window's and outlive the commands.
    PageEditCommands(FormatToolBar *bar, PageFileHost &host, QObject *parent = nullptr);

    // The format toolbar follows `page`'s selection while it is the active page.
    void followPage(frmDocument *page);
    // The format toolbar shows the active page's selection (all up without one).
    void showSelectionState();

    // Edit menu and the standard toolbar's clipboard keys.
    void runEdit(CanvasCommands::EditCommand command);

    // The format toolbar's keys ("粗体", "字体颜色(红)", ...); the toggle buttons then show the
    // selection's state.
    void tbFormatBar_ButtonClick(const QString &key);
    // The operator picked a font name or size in cboFont or cboSize, or finished typing one:
    // the caret goes back to the active page and its selection takes the font.
    void cboFont_Change(const QString &text);
    void cboSize_Change(const QString &text);
    // CobTxtWidth or CobTxtHeight picked: the active page's canvas takes that many modules.
    void textSizePicked(bool width, const QString &text);

private:
    PageCanvas *activeCanvas() const;
    void returnFocusToCanvas(QWidget *box, PageCanvas *canvas);
    QString language() const;

    FormatToolBar *m_bar;
    PageFileHost &m_host;
};
