#include "pageeditcommands.h"

#include "formattoolbar.h"
#include "pagefilehost.h"

#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagecommands.h"
#include "pagedocument.h"
#include "pagegeometry.h"
#include "selectionfont.h"

#include "getcolor.h"
#include "wholenumber.h"

#include "basesettings.h"
#include "localtext.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>

PageEditCommands::PageEditCommands(FormatToolBar *bar, PageFileHost &host, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
    , m_host(host)
{
    connect(bar, &FormatToolBar::buttonClicked, this, &PageEditCommands::tbFormatBar_ButtonClick);
    connect(bar, &FormatToolBar::fontTextChanged, this, &PageEditCommands::cboFont_Change);
    connect(bar, &FormatToolBar::sizeTextChanged, this, &PageEditCommands::cboSize_Change);
    connect(bar, &FormatToolBar::textWidthPicked, this,
        [this](const QString &text) { textSizePicked(true, text); });
    connect(bar, &FormatToolBar::textHeightPicked, this,
        [this](const QString &text) { textSizePicked(false, text); });
}

QString PageEditCommands::language() const
{
    return baseSettings().Language;
}

PageCanvas *PageEditCommands::activeCanvas() const
{
    frmDocument *page = m_host.activeDocument();
    return page ? page->rtfText() : nullptr;
}

void PageEditCommands::followPage(frmDocument *page)
{
    connect(page, &frmDocument::selectionFontChanged, this, [this, page](const SelectionFont &f) {
        if (m_host.activeDocument() != page)
            return;
        m_bar->showSelectionFont(f);
        m_bar->showPressedStates(page->rtfText());
    });
}

void PageEditCommands::showSelectionState()
{
    PageCanvas *canvas = activeCanvas();
    if (canvas)
        m_bar->showSelectionFont(selectionFont(canvas->textCursor()));
    m_bar->showPressedStates(canvas);
}

void PageEditCommands::runEdit(CanvasCommands::EditCommand command)
{
    CanvasCommands::runEditCommand(activeCanvas(), command);
}

void PageEditCommands::tbFormatBar_ButtonClick(const QString &key)
{
    PageCanvas *canvas = activeCanvas();
    const std::optional<bool> pressed
        = CanvasCommands::runFormatKey(canvas, key, m_host.dialogParent());
    m_bar->showPressedStates(canvas);
    if (QAction *button = m_bar->button(key); button && pressed)
        button->setChecked(*pressed);
}

void PageEditCommands::cboFont_Change(const QString &text)
{
    PageCanvas *canvas = activeCanvas();
    if (!canvas)
        return;
    returnFocusToCanvas(m_bar->cboFont(), canvas);
    if (!CanvasCommands::applyFontFamily(canvas, text))
        showSelectionState(); // an empty name: the box shows the selection's font again
}

void PageEditCommands::cboSize_Change(const QString &text)
{
    PageCanvas *canvas = activeCanvas();
    if (!canvas)
        return;
    returnFocusToCanvas(m_bar->cboSize(), canvas);
    if (CanvasCommands::applyFontSize(canvas, text))
        return;
    showSelectionState();
    m_host.showNote(localText(language(),
        QStringLiteral("\"%1\" is not a font size: type a number from 1 to %2.")
            .arg(text)
            .arg(Page::kMaxFontPointSize),
        QStringLiteral("“%1”不是字号：请输入 1 到 %2 之间的数字。")
            .arg(text)
            .arg(Page::kMaxFontPointSize)));
}

// After a pick or Enter the caret goes back to the page; a box left for another control
// leaves the focus where the operator put it.
void PageEditCommands::returnFocusToCanvas(QWidget *box, PageCanvas *canvas)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == box || box->isAncestorOf(focus))
        canvas->setFocus();
}

void PageEditCommands::textSizePicked(bool width, const QString &text)
{
    frmDocument *page = m_host.activeDocument();
    const std::optional<qint16> modules = wholeNumber(text);
    // Checked against the packet before a canvas is drawn: a page the sign cannot take would
    // only cost a canvas of up to 32767 units.
    const std::optional<PacketRefusal> refusal = !modules ? std::nullopt
        : width                                           ? GetColor::checkPageSize(*modules, 0)
                                                          : GetColor::checkPageSize(0, *modules);
    std::optional<int> units;
    if (modules && !refusal)
        units = Page::canvasLength(baseSettings().PerPixel, *modules);
    if (refusal)
        m_host.showNote(refusal->message(language()));
    else if (!units)
        m_host.showNote(localText(language(),
            QStringLiteral("\"%1\" is not a text size the canvas can take: type a "
                           "whole number of modules.")
                .arg(text),
            QStringLiteral("“%1”不是画布可用的文字尺寸：请输入整数个模块。").arg(text)));
    if (!page)
        return;
    if (!units) {
        page->DocResize();
        return;
    }
    if (width)
        page->setCanvasWidth(*units);
    else
        page->setCanvasHeight(*units);
}
