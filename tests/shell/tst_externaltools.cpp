#include "externaltoollauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The Tools menu's programs, found on a search path of fake programs that leave a marker
// file for each start.
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
    void startsTheFirstFoundWithoutWaiting()
    {
        QTemporaryDir first;
        addProgram(m_bin.path(), "kate");
        addProgram(m_bin.path(), "xdg-open");
        addProgram(first.path(), "mousepad");
        addProgram(m_bin.path(), "gimp");
        addProgram(m_bin.path(), "pinta");
        const ExternalToolLauncher launcher({ first.path(), m_bin.path() });

        // Candidates are tried in order of preference, across the whole path.
        QCOMPARE(QFileInfo(launcher.findProgram(ExternalToolLauncher::Tool::TextEditor)).fileName(),
            QString("mousepad"));
        QCOMPARE(
            QFileInfo(launcher.findProgram(ExternalToolLauncher::Tool::PaintProgram)).fileName(),
            QString("pinta"));

        // Choosing it twice starts two instances.
        for (int i = 0; i < 2; ++i) {
            const auto result = launcher.start(ExternalToolLauncher::Tool::TextEditor, "English");
            QVERIFY(result.started);
            QVERIFY(result.message.isEmpty());
        }
        QTRY_COMPARE_WITH_TIMEOUT(markers("mousepad").size(), 2, 5000);
        QVERIFY(markers("kate").isEmpty());
        QVERIFY(launcher.start(ExternalToolLauncher::Tool::PaintProgram, "English").started);
        QTRY_COMPARE_WITH_TIMEOUT(markers("pinta").size(), 1, 5000);
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

    void nothingFoundSaysWhatToInstall()
    {
        QTemporaryDir empty;
        const ExternalToolLauncher launcher({ empty.path() });
        auto result = launcher.start(ExternalToolLauncher::Tool::TextEditor, "English");
        QVERIFY(!result.started);
        QVERIFY(result.message.contains("sudo apt install mousepad"));
        result = launcher.start(ExternalToolLauncher::Tool::PaintProgram, "简体中文");
        QVERIFY(!result.started);
        QVERIFY(result.message.contains("画图程序"));
        QVERIFY(result.message.contains("sudo apt install kolourpaint"));
        QVERIFY(!ExternalToolLauncher(QStringList())
                     .start(ExternalToolLauncher::Tool::PaintProgram, "English")
                     .started);
    }

    void aFileThatIsNotExecutableIsPassedOver()
    {
        QTemporaryDir bin;
        QFile plain(QDir(bin.path()).filePath("gedit"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        addProgram(bin.path(), "leafpad");
        const ExternalToolLauncher launcher({ bin.path() });
        QCOMPARE(QFileInfo(launcher.findProgram(ExternalToolLauncher::Tool::TextEditor)).fileName(),
            QString("leafpad"));
    }
};

QTEST_MAIN(tst_ExternalTools)
#include "tst_externaltools.moc"
