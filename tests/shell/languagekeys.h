#pragma once

#include "classinifile.h"
#include "languageapplier.h"
#include "languagefile.h"

#include <QObject>
#include <QStringList>
#include <QtTest>

// Checks that a window's every text-taking control has its key in `section` of the language
// file at `iniPath`, and that list texts have one entry per column, button or tab.
inline void verifyWindowKeys(QWidget *window, const QString &iniPath, const QString &section)
{
    classIniFile ini;
    ini.setINIFileName(iniPath);
    int checked = 0;
    for (QObject *control : languageControls(window)) {
        if (languageControlKind(control) == LanguageControlKind::None)
            continue;
        const QString key = control->objectName();
        QString text;
        QVERIFY2(ini.findIniKey(section, key, &text, kMaxLanguageTextBytes),
            qPrintable(QStringLiteral("[%1] has no key %2").arg(section, key)));
        const int capacity = languageListCapacity(control);
        if (capacity > 0) {
            QVERIFY2(splitLanguageList(text).size() == capacity,
                qPrintable(QStringLiteral("[%1] %2 has %3 entries for %4 places")
                               .arg(section, key)
                               .arg(splitLanguageList(text).size())
                               .arg(capacity)));
        }
        ++checked;
    }
    QVERIFY(checked > 0);
}
