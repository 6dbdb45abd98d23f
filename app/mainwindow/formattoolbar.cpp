#include "formattoolbar.h"

#include "canvascommands.h"
#include "effectlists.h"
#include "keyedbuttons.h"
#include "localtext.h"
#include "pagecommands.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace {

// The first separator parts the buttons from the font boxes.
const QList<KeyedButton> kButtons = {
    { "粗体", "Bold", true },
    { "斜体", "Italic", false },
    { "下划线", "Underline", false },
    { "删除线", "Strikethrough", false },
    { "两端对齐", "Align Left", true },
    { "居中", "Center", false },
    { "右对齐", "Align Right", false },
    { "项目符号", "Bullets", true },
    { "编号", "Numbering", false },
    { "减少缩进量", "Decrease Indent", true },
    { "增加缩进量", "Increase Indent", false },
    { "段落", "Paragraph Spacing", false },
    { "字体颜色(红)", "Red Text", true },
    { "字体颜色(黄)", "Yellow Text", false },
    { "字体颜色(绿)", "Green Text", false },
    { "背景", "Background", false },
};

// The most text-size modules a box accepts; larger signs do not exist.
constexpr int kMaxTypedModules = 999;

} // namespace

FormatToolBar::FormatToolBar(QWidget *parent)
    : QToolBar(parent)
    , m_cboFont(new QComboBox(this))
    , m_cboSize(new QComboBox(this))
    , m_frame1(new QFrame(this))
    , m_lblTxtWidth(new QLabel(QStringLiteral("TextWidth"), m_frame1))
    , m_lblTxtHeight(new QLabel(QStringLiteral("TextHeight"), m_frame1))
{
    setObjectName(QStringLiteral("tbFormatBar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));

    m_cboFont->setObjectName(QStringLiteral("cboFont"));
    m_cboFont->setEditable(true);
    m_cboFont->setInsertPolicy(QComboBox::NoInsert);
    m_cboFont->setMinimumContentsLength(10);
    m_cboFont->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    addWidget(m_cboFont);

    m_cboSize->setObjectName(QStringLiteral("cboSize"));
    m_cboSize->setEditable(true);
    m_cboSize->setInsertPolicy(QComboBox::NoInsert);
    m_cboSize->setMinimumContentsLength(2);
    m_cboSize->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    addWidget(m_cboSize);

    m_buttons
        = addKeyedButtons(this, kButtons, [this](const QString &key) { emit buttonClicked(key); });
    for (QAction *action : m_buttons)
        action->setCheckable(toggleKeys().contains(action->data().toString()));
    addSeparator();

    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::NoFrame);
    m_lblTxtWidth->setObjectName(QStringLiteral("LblTxtWidth"));
    m_lblTxtHeight->setObjectName(QStringLiteral("LblTxtHeight"));
    m_cobTxtWidth = makeSizeBox("CobTxtWidth", 3);
    m_cobTxtHeight = makeSizeBox("CobTxtHeight", 3);
    m_lblTxtWidth->setBuddy(m_cobTxtWidth);
    m_lblTxtHeight->setBuddy(m_cobTxtHeight);
    auto *row = new QHBoxLayout(m_frame1);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(4);
    row->addWidget(m_lblTxtWidth);
    row->addWidget(m_cobTxtWidth);
    row->addSpacing(4);
    row->addWidget(m_lblTxtHeight);
    row->addWidget(m_cobTxtHeight);
    addWidget(m_frame1);

    // Keystrokes apply nothing: typing "14" must not apply size 1 on the way.
    CanvasCommands::applyWhenEditFinished(
        m_cboFont, [this](const QString &text) { emit fontTextChanged(text); });
    CanvasCommands::applyWhenEditFinished(
        m_cboSize, [this](const QString &text) { emit sizeTextChanged(text); });
    connect(m_cobTxtWidth, qOverload<int>(&QComboBox::activated), this,
        [this](int index) { emit textWidthPicked(m_cobTxtWidth->itemText(index)); });
    connect(m_cobTxtWidth->lineEdit(), &QLineEdit::returnPressed, this,
        [this] { emit textWidthPicked(m_cobTxtWidth->currentText()); });
    connect(m_cobTxtHeight, qOverload<int>(&QComboBox::activated), this,
        [this](int index) { emit textHeightPicked(m_cobTxtHeight->itemText(index)); });
    connect(m_cobTxtHeight->lineEdit(), &QLineEdit::returnPressed, this,
        [this] { emit textHeightPicked(m_cobTxtHeight->currentText()); });
    showTexts(QStringLiteral("English"));
}

void FormatToolBar::showTexts(const QString &language)
{
    setWindowTitle(localText(language, QStringLiteral("Format"), QStringLiteral("格式")));
    m_cboFont->setToolTip(localText(language, QStringLiteral("Font"), QStringLiteral("字体")));
    m_cboSize->setToolTip(localText(language, QStringLiteral("Font Size"), QStringLiteral("字号")));
    // A button that does not fit shows in the toolbar's overflow menu under its text.
    for (QAction *button : m_buttons)
        button->setText(button->toolTip());
}

QComboBox *FormatToolBar::makeSizeBox(const char *name, int width)
{
    auto *box = new QComboBox(m_frame1);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(width);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMaxVisibleItems(16);
    box->lineEdit()->setValidator(new QIntValidator(1, kMaxTypedModules, box));
    return box;
}

QStringList FormatToolBar::keys()
{
    return keyedButtonKeys(kButtons);
}

QStringList FormatToolBar::toggleKeys()
{
    return { QStringLiteral("粗体"), QStringLiteral("斜体"), QStringLiteral("下划线"),
        QStringLiteral("删除线"), QStringLiteral("项目符号"), QStringLiteral("编号") };
}

QAction *FormatToolBar::button(const QString &key) const
{
    return findKeyedButton(m_buttons, key);
}

void FormatToolBar::fillSizes()
{
    const QStringList sizes = EffectLists::sizeItems();
    m_cboSize->addItems(sizes);
    m_cobTxtHeight->addItems(sizes);
    m_cobTxtWidth->addItems(sizes);
    m_cboSize->setCurrentText(QStringLiteral("12"));
}

void FormatToolBar::fillFonts(const QStringList &families, const QString &fallback)
{
    constexpr int kInitialFontIndex = 43;
    m_cboFont->addItems(families);
    if (families.size() > kInitialFontIndex)
        m_cboFont->setCurrentIndex(kInitialFontIndex);
    else
        m_cboFont->setCurrentText(fallback);
    m_cboFont->lineEdit()->setCursorPosition(0);
}

void FormatToolBar::showPressedStates(const QTextEdit *canvas)
{
    for (const QString &key : toggleKeys()) {
        if (QAction *toggle = button(key))
            toggle->setChecked(CanvasCommands::isPressed(canvas, key));
    }
}

void FormatToolBar::showSelectionFont(const SelectionFont &font)
{
    if (font.family && m_cboFont->currentText() != *font.family) {
        m_cboFont->setCurrentText(*font.family);
        m_cboFont->lineEdit()->setCursorPosition(0); // show the name's start, not its end
    }
    if (font.pointSize) {
        const QString size = fontSizeText(*font.pointSize);
        if (m_cboSize->currentText() != size)
            m_cboSize->setCurrentText(size);
    }
}
