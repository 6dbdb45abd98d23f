#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QPushButton;

// The effect panel PicEffect: the frame FrmEffect ("Display Effect: ") with the ten selectors
// that show and edit the current program-list row, and the buttons CmdSendChecked
// ("SendChar"), CmdSendAll ("SendCtrl") and CmdExit ("Exit").
class EffectPanel : public QWidget
{
    Q_OBJECT

public:
    explicit EffectPanel(QWidget *parent = nullptr);

    // The texts the program gives this pane itself (tooltips, titles), in `language`; the
    // language file's texts are put on by the language switch.
    void showTexts(const QString &language);

    // The selector that edits program-list column `column` (2..11), or nullptr.
    QComboBox *selector(int column) const;

    // The value a pick writes into column `column`: the picked position for the two effect
    // lists, the selector's text for the others.
    QString selectorValue(int column) const;

    // Start-up fill: the number items, position 0 in the first eight, CobWidth and CobHeight
    // showing the screen size.
    void fill(qint16 screenWidth, qint16 screenHeight);

    // Shows a row (its twelve column texts) in the selectors: positions for the effect lists,
    // texts for the others.
    void showRow(const QStringList &columns);

    // The positions the two effect selectors CobEffect and CobEffectE show; -1 for none.
    struct EffectChoice
    {
        int entry = -1;
        int exit = -1;
    };
    EffectChoice effectChoice() const;
    // Shows the positions again, for instance after the language file replaced the items; a
    // position the selector does not have shows nothing.
    void showEffectChoice(const EffectChoice &choice);
    // The positions a row (its twelve column texts) stores.
    static EffectChoice effectChoiceOf(const QStringList &columns);

    QPushButton *CmdSendChecked() const { return m_sendChecked; }
    QPushButton *CmdSendAll() const { return m_sendAll; }
    QPushButton *CmdExit() const { return m_exit; }
    // "Send Show": every row's page, then the effect table.
    QPushButton *CmdSendShow() const { return m_sendShow; }

signals:
    // The operator picked an item in the selector of `column` (also the same item again).
    // Text typed into CobWidth or CobHeight is no pick, even when Enter confirms it.
    void picked(int column);

private:
    QGroupBox *m_frame;
    QList<QComboBox *> m_selectors; // in EffectLists::selectors() order
    QPushButton *m_sendChecked;
    QPushButton *m_sendAll;
    QPushButton *m_exit;
    QPushButton *m_sendShow;
};
