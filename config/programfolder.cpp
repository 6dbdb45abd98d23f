#include "programfolder.h"

#include "localtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifndef VANTREL_INSTALLED_DATA_DIR
#define VANTREL_INSTALLED_DATA_DIR "../share/vantrel"
#endif

namespace {

const QString kSettingsFile = QStringLiteral("BaseSet.ini");
const QString kLanguageFile = QStringLiteral("Language.lng");
const QString kSamplesFolder = QStringLiteral("samples");

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

QString executableFolder()
{
    return QCoreApplication::applicationDirPath();
}

constexpr QFile::Permissions kUserFile
    = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

// Copies a shipped file into the user's folder; the copy is the user's to change even when
// the shipped one is read-only.
bool copyShipped(const QString &from, const QString &to, ProgramFolderSetup *setup)
{
    QFile source(from);
    if (!source.copy(to)) {
        setup->failedPath = to;
        setup->reason = source.errorString();
        return false;
    }
    QFile::setPermissions(to, kUserFile);
    return true;
}

// Fills a new folder with the default settings and the sample pages. What is not shipped is
// passed over: BaseSet.ini is then created with the defaults when the settings load.
bool fillNewFolder(const QString &folder, const QString &shipped, ProgramFolderSetup *setup)
{
    const QString settings = shipped + QLatin1Char('/') + kSettingsFile;
    if (QFileInfo(settings).isFile()
        && !copyShipped(settings, folder + QLatin1Char('/') + kSettingsFile, setup))
        return false;
    const QDir samples(shipped + QLatin1Char('/') + kSamplesFolder);
    for (const QFileInfo &page : samples.entryInfoList(QDir::Files, QDir::Name)) {
        if (!copyShipped(page.filePath(), folder + QLatin1Char('/') + page.fileName(), setup))
            return false;
    }
    return true;
}

} // namespace

QString programFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return runsInstalled() ? userProgramFolder() : executableFolder();
}

void setProgramFolder(const QString &folder)
{
    overriddenFolder() = QDir::cleanPath(folder);
}

QString programFilePath(const QString &name)
{
    return programFolder() + QLatin1Char('/') + name;
}

bool isInstalledLayout(const QString &executableFolder)
{
    if (QFileInfo(executableFolder + QLatin1Char('/') + kLanguageFile).isFile())
        return false;
    return QFileInfo(executableFolder + QLatin1Char('/')
        + QStringLiteral(VANTREL_INSTALLED_DATA_DIR) + QLatin1Char('/') + kLanguageFile)
        .isFile();
}

bool runsInstalled()
{
    // Decided once: the executables do not move during a run.
    static const bool installed = isInstalledLayout(executableFolder());
    return installed;
}

QString userProgramFolder()
{
    // GenericDataLocation is $XDG_DATA_HOME when it is set to an absolute path, else
    // ~/.local/share.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/vantrel"));
}

QString installedDataFolder()
{
    if (!runsInstalled())
        return {};
    return QDir::cleanPath(
        executableFolder() + QLatin1Char('/') + QStringLiteral(VANTREL_INSTALLED_DATA_DIR));
}

QString languageFolder()
{
    return languageFolderOf(programFolder(), installedDataFolder());
}

QString languageFolderOf(const QString &folder, const QString &shipped)
{
    if (QFileInfo(folder + QLatin1Char('/') + kLanguageFile).isFile())
        return folder;
    if (!shipped.isEmpty() && QFileInfo(shipped + QLatin1Char('/') + kLanguageFile).isFile())
        return shipped;
    return folder;
}

QString ProgramFolderSetup::message(const QString &language) const
{
    if (ok())
        return {};
    const QString path = QDir::toNativeSeparators(failedPath);
    return localText(language,
        QStringLiteral("Vantrel could not set up its folder for your settings and pages: %1 "
                       "could not be made (%2). Settings changed in this run may not be kept; "
                       "check that your home folder is writable and has free space.")
            .arg(path, reason),
        QStringLiteral("Vantrel 无法建立保存设置和页面的文件夹：无法创建 %1（%2）。"
                       "本次运行中更改的设置可能无法保存；请检查主文件夹是否可写且有剩余空间。")
            .arg(path, reason));
}

ProgramFolderSetup prepareProgramFolder()
{
    if (!overriddenFolder().isEmpty() || !runsInstalled()) {
        ProgramFolderSetup setup;
        setup.folder = programFolder();
        return setup;
    }
    return prepareProgramFolder(userProgramFolder(), installedDataFolder());
}

ProgramFolderSetup prepareProgramFolder(const QString &folder, const QString &shipped)
{
    ProgramFolderSetup setup;
    setup.folder = folder;
    if (QFileInfo(folder).isDir()) {
        const QString settings = folder + QLatin1Char('/') + kSettingsFile;
        const QString shippedSettings = shipped + QLatin1Char('/') + kSettingsFile;
        if (!QFileInfo::exists(settings) && QFileInfo(shippedSettings).isFile())
            copyShipped(shippedSettings, settings, &setup);
        return setup;
    }

    const QString parent = QFileInfo(folder).absolutePath();
    if (!QDir().mkpath(parent)) {
        setup.failedPath = parent;
        setup.reason = QStringLiteral("the folder cannot be created");
        return setup;
    }
    QTemporaryDir building(parent + QStringLiteral("/.vantrel-new-XXXXXX"));
    if (!building.isValid()) {
        setup.failedPath = folder;
        setup.reason = building.errorString();
        return setup;
    }
    if (!fillNewFolder(building.path(), shipped, &setup)) {
        setup.failedPath = folder;
        return setup;
    }
    if (QDir().rename(building.path(), folder)) {
        building.setAutoRemove(false);
        setup.created = true;
    } else if (!QFileInfo(folder).isDir()) {
        // Another start made it first when the folder is there now; that one is as good.
        setup.failedPath = folder;
        setup.reason = QStringLiteral("it cannot be renamed into place");
    }
    return setup;
}
