#include "externaltoollauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Tool = ExternalToolLauncher::Tool;

// Finding the Tools menu's programs on a search path of fake programs that leave a marker
// file for each start. Starting them from the menus, and the message when none is found, are
// tested on the main window (tests/mainwindow).
class tst_ExternalTools : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_markers;

    // A program that writes its arguments to a marker file; not executable if `runnable` is off.
    void addProgram(const QTemporaryDir &folder, const QString &name, bool runnable = true)
    {
        QFile script(folder.filePath(name));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > \"%1/%2.$$\"\n")
                         .arg(m_markers.path(), name).toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner
            | (runnable ? QFile::ExeOwner : QFile::Permission(0))));
    }
    static QString found(const ExternalToolLauncher &launcher, Tool tool)
    {
        return QFileInfo(launcher.findProgram(tool)).fileName();
    }

private slots:
    void findsTheFirstCandidateOnThePath()
    {
        QTemporaryDir first, second;
        for (const char *name : { "kate", "xdg-open", "gimp", "pinta" })
            addProgram(second, name);
        addProgram(first, "mousepad");
        addProgram(first, "gedit", false); // not executable: passed over
        // Candidates are tried in order of preference, across the whole path.
        const ExternalToolLauncher launcher({ first.path(), second.path() });
        QCOMPARE(found(launcher, Tool::TextEditor), QString("mousepad"));
        QCOMPARE(found(launcher, Tool::PaintProgram), QString("pinta"));
        QCOMPARE(found(ExternalToolLauncher(QStringList()), Tool::TextEditor), QString());
    }

    void xdgOpenGetsANewTextFile()
    {
        QTemporaryDir bin;
        addProgram(bin, "xdg-open");
        const ExternalToolLauncher launcher({ bin.path() });
        QCOMPARE(found(launcher, Tool::PaintProgram), QString()); // xdg-open is no paint program
        QVERIFY(launcher.start(Tool::TextEditor, "English").started);
        const QDir markers(m_markers.path());
        QTRY_COMPARE_WITH_TIMEOUT(markers.entryList({ "xdg-open.*" }, QDir::Files).size(), 1, 5000);
        QFile marker(markers.filePath(markers.entryList({ "xdg-open.*" }, QDir::Files).first()));
        QVERIFY(marker.open(QIODevice::ReadOnly));
        const QString file = QString::fromUtf8(marker.readAll()).trimmed();
        QVERIFY(file.endsWith(".txt"));
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(QFileInfo(file).size(), 0);
        QFile::remove(file);
    }
};

QTEST_MAIN(tst_ExternalTools)
#include "tst_externaltools.moc"
