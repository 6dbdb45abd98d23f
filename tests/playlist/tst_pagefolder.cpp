#include "pagefolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_PageFolder : public QObject
{
    Q_OBJECT

private slots:
    void listsPagesOfAnyLetterCase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char *name : { "b.rtf", "LOGO.BMP", "a.jpg", "Page10.rtf", "Page9.rtf",
                 "anim.GIF", "notes.txt", "page.rtf.bak", "README", ".hidden.rtf" }) {
            QVERIFY(writeFile(dir.filePath(name), {}));
        }
        QVERIFY(QDir(dir.path()).mkdir("folder.rtf"));

        QCOMPARE(listPageFiles(dir.path()),
            QStringList({ "a.jpg", "anim.GIF", "b.rtf", "LOGO.BMP", "Page10.rtf", "Page9.rtf" }));
        QVERIFY(listPageFiles(dir.filePath("missing")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_PageFolder)
#include "tst_pagefolder.moc"
