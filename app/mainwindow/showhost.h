#pragma once

class FileDialogs;
class PromptSink;
class QString;

// What the show commands need of the window they run in: where they ask, tell and note, and
// how a show is opened there. The main window implements it.
class ShowHost
{
public:
    virtual ~ShowHost() = default;

    virtual PromptSink &prompts() = 0;
    virtual FileDialogs &fileDialogs() = 0;
    // A note in the status bar the operator need not answer.
    virtual void showNote(const QString &text) = 0;
    // Opens the show file at `path` into the program list (asking first about unsaved
    // changes), the window following its first row. True when the show was loaded.
    virtual bool openShowFile(const QString &path) = 0;
};
