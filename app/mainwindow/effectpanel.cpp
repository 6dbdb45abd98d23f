#include "effectpanel.h"

#include "effectlists.h"
#include "localtext.h"
#include "rowsource.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kMaxTypedModules = 999;
constexpr int kPanelWidth = 5655 / 15; // twips to pixels

// CobWidth and CobHeight may be typed into, but only a pick from their list writes the row.
// The box also reports text typed into it as activated, when it matches an item and the
// operator presses Enter or moves on: such an activation is not a pick.
class PickGuard : public QObject
{
public:
    explicit PickGuard(QComboBox *box)
        : QObject(box)
        , m_box(box)
    {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
        box->installEventFilter(this);
        box->view()->installEventFilter(this);
        box->view()->viewport()->installEventFilter(this);
    }

    // Whether the activation just reported is a pick.
    bool takePick() { return !std::exchange(m_typed, false); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A choice in the open list, or a step through the list with the keys or the wheel,
        // is a pick whatever was typed before.
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            if (watched == m_box->view()->viewport())
                m_typed = false;
            break;
        case QEvent::Wheel:
            if (watched == m_box)
                m_typed = false;
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            const bool step = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp
                || key == Qt::Key_PageDown;
            const bool choice
                = watched == m_box->view() && (key == Qt::Key_Return || key == Qt::Key_Enter);
            if (step || choice)
                m_typed = false;
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    QComboBox *m_box;
    bool m_typed = false;
};

} // namespace

EffectPanel::EffectPanel(QWidget *parent)
    : QWidget(parent)
    , m_frame(new QGroupBox(QStringLiteral("Display Effect: "), this))
    , m_sendChecked(new QPushButton(QStringLiteral("SendChar"), this))
    , m_sendAll(new QPushButton(QStringLiteral("SendCtrl"), this))
    , m_exit(new QPushButton(QStringLiteral("Exit"), this))
    , m_sendShow(new QPushButton(QStringLiteral("Send Show"), this))
{
    setObjectName(QStringLiteral("PicEffect"));
    m_frame->setObjectName(QStringLiteral("FrmEffect"));
    m_sendChecked->setObjectName(QStringLiteral("CmdSendChecked"));
    m_sendAll->setObjectName(QStringLiteral("CmdSendAll"));
    m_exit->setObjectName(QStringLiteral("CmdExit"));
    m_sendShow->setObjectName(QStringLiteral("CmdSendShow"));
    m_sendChecked->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_sendAll->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    // Entry values on the left, exit values on the right, the text size in the last row.
    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    const auto &table = EffectLists::selectors();
    for (int i = 0; i < int(table.size()); ++i) {
        const EffectLists::Selector &s = table[i];
        auto *box = new QComboBox(m_frame);
        box->setObjectName(QString::fromLatin1(s.name));
        box->setEditable(s.editable);
        box->setMaxVisibleItems(16);
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        if (s.editable) {
            box->setInsertPolicy(QComboBox::NoInsert);
            box->lineEdit()->setValidator(new QIntValidator(1, kMaxTypedModules, box));
        }
        if (s.items == EffectLists::Items::EntryEffects
            || s.items == EffectLists::Items::ExitEffects)
            box->addItems(EffectLists::itemsOf(s.items)); // fixed in the layout
        auto *label = new QLabel(QString::fromLatin1(s.caption), m_frame);
        label->setObjectName(QString::fromLatin1(s.label));
        label->setBuddy(box);

        int row = 0;
        int side = 0;
        if (s.column <= ListColumn::Repeat) {
            row = s.column - ListColumn::Effect;
        } else if (s.column <= ListColumn::ERepeat) {
            row = s.column - ListColumn::EEffect;
            side = 1;
        } else {
            row = 4;
            side = s.column == ListColumn::TWidth ? 0 : 1;
        }
        grid->addWidget(label, row, side * 2);
        grid->addWidget(box, row, side * 2 + 1);
        m_selectors.append(box);
        const int column = s.column;
        PickGuard *guard = s.editable ? new PickGuard(box) : nullptr;
        connect(box, qOverload<int>(&QComboBox::activated), this, [this, column, guard] {
            if (!guard || guard->takePick())
                emit picked(column);
        });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(m_sendChecked);
    buttons->addWidget(m_sendAll);
    buttons->addWidget(m_sendShow);
    buttons->addStretch(1);
    buttons->addWidget(m_exit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);
    layout->addStretch(1);
    setFixedWidth(kPanelWidth);
    showTexts(QStringLiteral("English"));
}

void EffectPanel::showTexts(const QString &language)
{
    m_sendChecked->setToolTip(
        localText(language, QStringLiteral("Send the page of the current row to the sign"),
            QStringLiteral("把当前行的页面发送到显示屏")));
    m_sendAll->setToolTip(
        localText(language, QStringLiteral("Send the effect table of all rows to the sign"),
            QStringLiteral("把所有行的特效表发送到显示屏")));
    m_sendShow->setToolTip(localText(language,
        QStringLiteral("Send every row's page, then the effect table, and report once"),
        QStringLiteral("依次发送每一行的页面和特效表，结束时统一报告")));
}

QComboBox *EffectPanel::selector(int column) const
{
    const auto &table = EffectLists::selectors();
    for (int i = 0; i < int(table.size()); ++i) {
        if (table[i].column == column)
            return m_selectors.at(i);
    }
    return nullptr;
}

QString EffectPanel::selectorValue(int column) const
{
    const QComboBox *box = selector(column);
    const EffectLists::Selector *s = EffectLists::selectorForColumn(column);
    if (!box || !s)
        return {};
    return s->byPosition ? QString::number(box->currentIndex()) : box->currentText();
}

void EffectPanel::fill(qint16 screenWidth, qint16 screenHeight)
{
    const auto &table = EffectLists::selectors();
    for (int i = 0; i < int(table.size()); ++i) {
        const EffectLists::Selector &s = table[i];
        QComboBox *box = m_selectors.at(i);
        if (s.items != EffectLists::Items::EntryEffects
            && s.items != EffectLists::Items::ExitEffects)
            box->addItems(EffectLists::itemsOf(s.items));
        if (s.column == ListColumn::TWidth)
            box->setCurrentText(QString::number(screenWidth));
        else if (s.column == ListColumn::THeight)
            box->setCurrentText(QString::number(screenHeight));
        else
            box->setCurrentIndex(0);
    }
}

void EffectPanel::showRow(const QStringList &columns)
{
    const auto &table = EffectLists::selectors();
    for (int i = 0; i < int(table.size()); ++i) {
        const EffectLists::Selector &s = table[i];
        QComboBox *box = m_selectors.at(i);
        const QString text = columns.value(s.column - 1);
        if (s.byPosition) {
            bool ok = false;
            const int position = text.toInt(&ok);
            box->setCurrentIndex(ok && position < box->count() ? position : -1);
        } else if (s.editable) {
            box->setCurrentText(text);
        } else {
            box->setCurrentIndex(box->findText(text));
        }
    }
}

EffectPanel::EffectChoice EffectPanel::effectChoice() const
{
    return { selector(ListColumn::Effect)->currentIndex(),
        selector(ListColumn::EEffect)->currentIndex() };
}

void EffectPanel::showEffectChoice(const EffectChoice &choice)
{
    const auto show = [](QComboBox *box, int position) {
        box->setCurrentIndex(position >= 0 && position < box->count() ? position : -1);
    };
    show(selector(ListColumn::Effect), choice.entry);
    show(selector(ListColumn::EEffect), choice.exit);
}

EffectPanel::EffectChoice EffectPanel::effectChoiceOf(const QStringList &columns)
{
    const auto position = [&columns](int column) {
        bool ok = false;
        const int value = columns.value(column - 1).toInt(&ok);
        return ok ? value : -1;
    };
    return { position(ListColumn::Effect), position(ListColumn::EEffect) };
}
