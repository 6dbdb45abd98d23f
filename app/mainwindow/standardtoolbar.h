#pragma once

#include <QList>
#include <QStringList>
#include <QToolBar>

class QAction;

// The standard toolbar tbToolBar: file, clipboard, insert and help buttons, each identified by
// its key text ("新建", "打开", ...), which its action carries as data().
class StandardToolBar : public QToolBar
{
    Q_OBJECT

public:
    explicit StandardToolBar(QWidget *parent = nullptr);

    // The keys in button order: "新建","打开","保存" | "剪切","复制","粘贴" |
    // "插入表格","插入图片" | "帮助". The language file's tooltip list follows this order.
    static QStringList keys();

    // The keyed buttons in order, without separators.
    QList<QAction *> buttons() const { return m_buttons; }
    QAction *button(const QString &key) const;

    // The texts the program gives this pane itself (tooltips, titles), in `language`; the
    // language file's texts are put on by the language switch.
    void showTexts(const QString &language);

signals:
    void buttonClicked(const QString &key);

private:
    QList<QAction *> m_buttons;
};
