#include "externaltoollauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Finding the Tools menu's programs on a search path of fake programs that leave a marker
// file for each start. Starting them from the menus, and the message when none is found, are
// tested on the main window (tests/app).
class tst_ExternalTools : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_bin;
    QTemporaryDir m_markers;

    void addProgram(const QString &folder, const QString &name)
    {
        const QString path = QDir(folder).filePath(name);
        QFile script(path);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > \"%1/%2.$$\"\n")
                         .arg(m_markers.path(), name)
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QStringList markers(const QString &name) const
    {
        return QDir(m_markers.path()).entryList({ name + ".*" }, QDir::Files);
    }

private slots:
    void findsTheFirstCandidateOnThePath()
    {
        QTemporaryDir first;
        addProgram(m_bin.path(), "kate");
        addProgram(m_bin.path(), "xdg-open");
        addProgram(first.path(), "mousepad");
        addProgram(m_bin.path(), "gimp");
        addProgram(m_bin.path(), "pinta");
        QFile plain(QDir(first.path()).filePath("gedit")); // not executable: passed over
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const ExternalToolLauncher launcher({ first.path(), m_bin.path() });

        // Candidates are tried in order of preference, across the whole path.
        QCOMPARE(QFileInfo(launcher.findProgram(ExternalToolLauncher::Tool::TextEditor)).fileName(),
            QString("mousepad"));
        QCOMPARE(
            QFileInfo(launcher.findProgram(ExternalToolLauncher::Tool::PaintProgram)).fileName(),
            QString("pinta"));
        QVERIFY(ExternalToolLauncher(QStringList())
                    .findProgram(ExternalToolLauncher::Tool::TextEditor)
                    .isEmpty());
    }

    void xdgOpenGetsANewTextFile()
    {
        QTemporaryDir bin;
        addProgram(bin.path(), "xdg-open");
        const ExternalToolLauncher launcher({ bin.path() });
        QVERIFY(launcher.start(ExternalToolLauncher::Tool::TextEditor, "English").started);
        QTRY_COMPARE_WITH_TIMEOUT(markers("xdg-open").size(), 1, 5000);
        QFile marker(QDir(m_markers.path()).filePath(markers("xdg-open").constFirst()));
        QVERIFY(marker.open(QIODevice::ReadOnly));
        const QString file = QString::fromUtf8(marker.readAll()).trimmed();
        QVERIFY(file.endsWith(".txt"));
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(QFileInfo(file).size(), 0);
        QFile::remove(file);
        // xdg-open is no paint program.
        QVERIFY(launcher.findProgram(ExternalToolLauncher::Tool::PaintProgram).isEmpty());
    }
};

QTEST_MAIN(tst_ExternalTools)
#include "tst_externaltools.moc"
