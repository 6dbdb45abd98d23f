#include "frmabout.h"
#include "ownerlock.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QtTest>

// The About box, and the owner window kept disabled while it (or any window opened the same
// way) is shown.
class tst_FrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void contents()
    {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QString("About Vantrel V2.0..."));
        const QStringList lines = frmAbout::aboutText().split("\r\n");
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines.at(0), QString("Vantrel V2.0"));
        QCOMPARE(lines.at(2), QString("版本 2.0.0.0"));
        QVERIFY(lines.at(4).startsWith("Copyright (C) "));
        QVERIFY(lines.at(4).contains(lines.at(6)));
        for (int empty : { 1, 3, 5 })
            QVERIFY(lines.at(empty).isEmpty());

        auto *label = about.findChild<QLabel *>("Label1");
        QVERIFY(label);
        QVERIFY(!label->text().contains('\r'));
        QCOMPARE(label->text().split('\n'), lines);
        auto *picture = about.findChild<QLabel *>("Picture1");
        QVERIFY(picture && !picture->pixmap().isNull());
        QCOMPARE(about.findChild<QPushButton *>("Command1")->text(), QString("OK"));
        QVERIFY(!frmAbout::picture(32).isNull());
    }

    void everyWayOfClosingEnablesTheOwner_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("OK") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }
    void everyWayOfClosingEnablesTheOwner()
    {
        QFETCH(int, way);
        QMainWindow owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        auto *about = new frmAbout(&owner);
        QSignalSpy closed(about, &frmAbout::closed);

        OwnerLock::show(&owner, about);
        QVERIFY(!owner.isEnabled());
        QVERIFY(about->isVisible());
        // The box is no child of the disabled owner, so it takes input.
        QVERIFY(about->isEnabled());
        QVERIFY(about->findChild<QPushButton *>("Command1")->isEnabled());

        if (way == 0)
            about->findChild<QPushButton *>("Command1")->click();
        else if (way == 1)
            QTest::keyClick(about, Qt::Key_Escape);
        else
            about->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!about->isVisible());
        QVERIFY(owner.isEnabled());

        // The same box opens again and locks the owner again.
        OwnerLock::show(&owner, about);
        QVERIFY(!owner.isEnabled());
        about->close();
        QVERIFY(owner.isEnabled());
    }

    void destroyedWindowEnablesTheOwner()
    {
        QMainWindow owner;
        auto *about = new frmAbout(&owner);
        about->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<frmAbout> watch(about);
        OwnerLock::show(&owner, about);
        QVERIFY(!owner.isEnabled());
        about->close();
        QTRY_VERIFY_WITH_TIMEOUT(watch.isNull(), 2000);
        QVERIFY(owner.isEnabled());

        auto *second = new frmAbout;
        OwnerLock::show(&owner, second);
        delete second; // gone without a close
        QVERIFY(owner.isEnabled());
    }
};

QTEST_MAIN(tst_FrmAbout)
#include "tst_frmabout.moc"
