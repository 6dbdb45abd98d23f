#pragma once

#include <QString>
#include <QStringList>

class MDIFrmMain;

// Opens the files named on the command line (or handed over by the desktop's file manager)
// once the main window has started.
class CommandLineOpen
{
public:
    enum class Kind {
        Page, // .rtf, .txt (what Save As writes), .bmp, .jpg, .jpeg, .gif
        Show, // .vshow
        Unknown,
    };

    // Told by the name's extension, letter case ignored.
    static Kind kindOf(const QString &path);

    // Opens every file in order: the first page in the default page window, each further page
    // in a page window of its own, shows as a show. A file that cannot be opened is told to the
    // operator and the rest still open. Returns how many files opened.
    static int open(MDIFrmMain &window, const QStringList &paths);

private:
    static bool openShow(MDIFrmMain &window, const QString &path);
};
