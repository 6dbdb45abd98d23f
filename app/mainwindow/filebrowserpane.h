#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QTimer;

// The file browser: the page files of the program folder in the list File1, re-read every
// 5 seconds by Timer1 and whenever refresh() is called. A click shows a file, a double-click
// adds it to the program list; the window does both through the signals.
class FileBrowserPane : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 5000;

    explicit FileBrowserPane(QWidget *parent = nullptr);

    // The texts the program gives this pane itself (tooltips, titles), in `language`; the
    // language file's texts are put on by the language switch.
    void showTexts(const QString &language);

    QListWidget *File1() const { return m_list; }
    QTimer *Timer1() const { return m_timer; }

    // The folder listed; set it before the first refresh.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }

    QStringList names() const { return m_names; }
    QString selectedName() const;

public slots:
    // Re-reads the folder. The selected name and the scroll position stay where they are.
    void refresh();

signals:
    void fileClicked(const QString &name);
    void fileDoubleClicked(const QString &name);

private:
    QListWidget *m_list;
    QTimer *m_timer;
    QString m_folder;
    QStringList m_names;
};
