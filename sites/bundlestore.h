#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Schedule bundles written into the program folder, one folder per bundle, put in force by
// one atomic write of a pointer file:
//
//   <program folder>/sites/schedules/v-7-3f9a0c.../week.vsched, breakfast.vshow, menu.rtf
//   <program folder>/sites/schedules/current.ini   [Bundle] Folder=v-7-3f9a0c...
//                                                           Schedule=week.vsched
//
// A bundle is decoded into a fresh temporary folder beside them, checked whole there, and only
// then renamed to its version folder; a refused bundle leaves nothing behind. The folder in
// force and the one before it are kept (a send may still read the old one); older ones go.
// Nothing is written outside the program folder.
class BundleStore
{
public:
    // Whether the schedule at the path can run: "" when it can, else why not, naming the entry
    // and key. The agent passes its own check (every row builds its packets).
    using Checker = std::function<QString(const QString &schedulePath)>;

    // Without a checker the schedule is read and every show checked as schedule files are.
    BundleStore(QString programFolder, QString language, Checker checker = {});

    struct Result
    {
        enum class Outcome {
            Installed, // a new version is in force
            Unchanged, // the same bundle is already in force: nothing was written
            Refused, // nothing was written; `reason` says why
        };
        Outcome outcome = Outcome::Refused;
        QString schedulePath; // the schedule in force, absolute; "" when refused
        QString reason;
    };

    // Checks and writes a bundle payload, and puts it in force.
    Result install(const QByteArray &payload);

    // The schedule in force from an earlier bundle, absolute; "" when there is none.
    QString currentSchedule() const;

    // <program folder>/sites/schedules
    QString folder() const;

private:
    QString m_programFolder;
    QString m_language;
    Checker m_checker;
};
