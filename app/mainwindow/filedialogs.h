#pragma once

#include <QPointer>
#include <QString>

class QWidget;

// The file dialogs of the page commands. The window asks through this, so tests can answer
// without a dialog on screen.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    // A file to open; "" when the operator cancels. `filter` is in the "description|pattern"
    // pairs the commands are written with; the dialog starts on pair `selectedFilter` (from 0).
    virtual QString openFileName(
        const QString &title, const QString &filter, const QString &folder, int selectedFilter = 0)
        = 0;

    // A name to save under; "" when the operator cancels. `initialName` is proposed, and
    // `defaultSuffix` is appended to a name typed without one.
    virtual QString saveFileName(const QString &title, const QString &filter, const QString &folder,
        const QString &initialName, const QString &defaultSuffix)
        = 0;
};

// The toolkit's file dialogs, over `parent`. The folder picked last is remembered from one
// use to the next, as one shared dialog would.
class QtFileDialogs : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget *parent)
        : m_parent(parent)
    { }

    QString openFileName(const QString &title, const QString &filter, const QString &folder,
        int selectedFilter = 0) override;
    QString saveFileName(const QString &title, const QString &filter, const QString &folder,
        const QString &initialName, const QString &defaultSuffix) override;

private:
    QPointer<QWidget> m_parent;
    QString m_lastFolder;
};

// A "description|pattern|description|pattern" filter as the toolkit's dialogs take it:
// "description (pattern)" entries joined by ";;". A description that already names its
// patterns in parentheses is kept as it is; "*.*" becomes "*" so names without a dot are
// listed; patterns of upper-case letters also match lower case, as on the system the filters
// were written for.
QString toolkitFileFilter(const QString &filter);
