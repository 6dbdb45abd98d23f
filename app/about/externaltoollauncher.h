#pragma once

#include <QString>
#include <QStringList>

// Starts the desktop's plain-text editor or paint program for the Tools menu: the first of a
// list of common programs found on the search path, detached, without waiting for it.
class ExternalToolLauncher
{
public:
    enum class Tool { TextEditor, PaintProgram };

    struct Result
    {
        bool started = false;
        QString program; // the path of the program started or tried; "" when none was found
        QString message; // why nothing started, in the user's language; "" when started
    };

    // Searches the folders of the PATH environment variable.
    ExternalToolLauncher();
    // Searches `searchPaths` only.
    explicit ExternalToolLauncher(const QStringList &searchPaths);

    // The programs looked for, in order of preference. The text editor's last resort is
    // xdg-open, which opens a new empty text file in the desktop's default editor.
    static QStringList candidates(Tool tool);

    // The full path of the first candidate found; "" when none is.
    QString findProgram(Tool tool) const;

    // Starts the tool. Each call starts a new instance.
    Result start(Tool tool, const QString &language) const;

    // What to tell a user who has none of the candidates, in `language`.
    static QString notFoundMessage(Tool tool, const QString &language);

private:
    QStringList m_searchPaths;
};
