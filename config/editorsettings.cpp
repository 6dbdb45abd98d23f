#include "editorsettings.h"

#include "classinifile.h"
#include "localtext.h"

namespace {

const QString kSection = QStringLiteral("EditorSet");
const QString kZoomKey = QStringLiteral("Zoom");
const QString kPicturesKey = QStringLiteral("Pictures");
const QString kShowValuesKey = QStringLiteral("ShowValues");
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");
const QString kFit = QStringLiteral("Fit");
const QString kThreshold = QStringLiteral("Threshold");
const QString kDither = QStringLiteral("Dither");
constexpr int kPercentPerStep = 100;

bool write(const QString &iniPath, const QString &key, const QString &value)
{
    classIniFile ini;
    ini.setINIFileName(iniPath);
    ini.WriteIniKey(kSection, key, value);
    return ini.lastWriteSucceeded();
}

} // namespace

EditorSettings &editorSettings()
{
    static EditorSettings settings;
    return settings;
}

QString storedZoomText(int zoom)
{
    return zoom == EditorSettings::kFitZoom ? kFit : QString::number(zoom * kPercentPerStep);
}

int parseStoredZoom(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(kFit, Qt::CaseInsensitive) == 0)
        return EditorSettings::kFitZoom;
    bool ok = false;
    const int percent = QString(t).remove(QLatin1Char('%')).toInt(&ok);
    if (!ok || percent % kPercentPerStep != 0)
        return -1;
    const int zoom = percent / kPercentPerStep;
    return zoom >= EditorSettings::kMinZoom && zoom <= EditorSettings::kMaxZoom ? zoom : -1;
}

EditorSettings LoadEditorSettings(const QString &iniPath, const QString &language, QString *problem)
{
    EditorSettings settings;
    classIniFile ini;
    ini.setINIFileName(iniPath);
    QStringList unusable;
    QString value;
    if (ini.findIniKey(kSection, kZoomKey, &value)) {
        const int zoom = parseStoredZoom(value);
        if (zoom >= 0)
            settings.zoom = zoom;
        else
            unusable.append(QStringLiteral("%1=%2").arg(kZoomKey, value));
    }
    if (ini.findIniKey(kSection, kPicturesKey, &value)) {
        if (value.compare(kDither, Qt::CaseInsensitive) == 0)
            settings.ditherPictures = true;
        else if (value.compare(kThreshold, Qt::CaseInsensitive) != 0)
            unusable.append(QStringLiteral("%1=%2").arg(kPicturesKey, value));
    }
    if (ini.findIniKey(kSection, kShowValuesKey, &value)) {
        if (value.compare(kNo, Qt::CaseInsensitive) == 0)
            settings.showValues = false;
        else if (value.compare(kYes, Qt::CaseInsensitive) != 0)
            unusable.append(QStringLiteral("%1=%2").arg(kShowValuesKey, value));
    }
    if (problem) {
        const QString keys = unusable.join(QStringLiteral(", "));
        *problem = unusable.isEmpty()
            ? QString()
            : localText(language,
                QStringLiteral("BaseSet.ini [%1]: %2 cannot be used; Fit, Threshold "
                               "and ShowValues=Yes are used instead.")
                    .arg(kSection, keys),
                QStringLiteral(
                    "BaseSet.ini [%1]：%2 无法使用，已改用“Fit”、“Threshold”和“ShowValues=Yes”。")
                    .arg(kSection, keys));
    }
    return settings;
}

bool SaveEditorZoom(int zoom, const QString &iniPath)
{
    return write(iniPath, kZoomKey, storedZoomText(zoom));
}

bool SaveEditorPictures(bool dither, const QString &iniPath)
{
    return write(iniPath, kPicturesKey, dither ? kDither : kThreshold);
}

bool SaveEditorShowValues(bool showValues, const QString &iniPath)
{
    return write(iniPath, kShowValuesKey, showValues ? kYes : kNo);
}
