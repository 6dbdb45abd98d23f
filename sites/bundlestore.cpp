#include "bundlestore.h"

#include "classinifile.h"
#include "localtext.h"
#include "schedulefile.h"
#include "sitebundle.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const QString kPointerFile = QStringLiteral("current.ini");
const QString kPointerSection = QStringLiteral("Bundle");
const QString kFolderKey = QStringLiteral("Folder");
const QString kScheduleKey = QStringLiteral("Schedule");
// v-<number>-<the first hex digits of the payload's SHA-256>
const QRegularExpression kVersionFolder(QStringLiteral("^v-(\\d+)-([0-9a-f]+)$"));
constexpr int kDigestDigits = 16;

QString refused(const QString &language, const QString &english, const QString &chinese)
{
    return localText(language,
        QStringLiteral("The schedule bundle was refused: %1 Nothing was changed.").arg(english),
        QStringLiteral("时间表包被拒绝：%1未做任何更改。").arg(chinese));
}

// The values of `keys` in every section of the INI file at `path`.
QStringList valuesOf(const QString &path, const QStringList &keys)
{
    classIniFile ini;
    ini.setINIFileName(path);
    QStringList values;
    for (const IniSection &section : ini.GetAllSections()) {
        for (const auto &[key, value] : section.keys) {
            if (keys.contains(key, Qt::CaseInsensitive) && !value.isEmpty())
                values << value;
        }
    }
    return values;
}

// The first file named by the schedule or its shows that is not one of the bundle's own; ""
// when all are. A show naming "../../etc/hostname" would otherwise send a local file to a sign.
QString strayReference(
    const QString &folder, const SiteBundle::Contents &contents, const QString &language)
{
    const auto outside = [&](const QString &in, const QString &name) {
        return refused(language,
            QStringLiteral("%1 names \"%2\", which is not a file of the bundle.").arg(in, name),
            QStringLiteral("%1 引用了“%2”，它不是包中的文件。").arg(in, name));
    };
    const QStringList shows = valuesOf(folder + QLatin1Char('/') + contents.schedule,
        { QStringLiteral("Show"), QStringLiteral("Default") });
    for (const QString &show : shows) {
        if (!SiteBundle::isPlainName(show) || !contents.files.contains(show))
            return outside(contents.schedule, show);
    }
    for (const QString &show : QSet<QString>(shows.cbegin(), shows.cend())) {
        for (const QString &page :
            valuesOf(folder + QLatin1Char('/') + show, { QStringLiteral("File Path") })) {
            if (!SiteBundle::isPlainName(page) || !contents.files.contains(page))
                return outside(show, page);
        }
    }
    return {};
}

// Writes every file of the bundle into `folder`, each synced to the disk.
bool writeFiles(const QString &folder, const SiteBundle::Contents &contents, QString *reason)
{
    for (auto it = contents.files.cbegin(); it != contents.files.cend(); ++it) {
        QFile file(folder + QLatin1Char('/') + it.key());
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            || file.write(it.value()) != it.value().size() || !file.flush()
            || ::fsync(file.handle()) != 0) {
            *reason = it.key() + QStringLiteral(": ") + file.errorString();
            return false;
        }
    }
    return true;
}

} // namespace

BundleStore::BundleStore(QString programFolder, QString language, Checker checker)
    : m_programFolder(std::move(programFolder))
    , m_language(std::move(language))
    , m_checker(std::move(checker))
{
    if (!m_checker) {
        m_checker = [language = m_language](const QString &path) {
            const ScheduleFile::ReadResult read = ScheduleFile::read(path, language);
            return read.ok ? QString() : read.message;
        };
    }
}

QString BundleStore::folder() const
{
    return m_programFolder + QStringLiteral("/sites/schedules");
}

QString BundleStore::currentSchedule() const
{
    classIniFile ini;
    ini.setINIFileName(folder() + QLatin1Char('/') + kPointerFile);
    const QString version = ini.GetIniKey(kPointerSection, kFolderKey);
    const QString schedule = ini.GetIniKey(kPointerSection, kScheduleKey);
    if (!kVersionFolder.match(version).hasMatch() || !SiteBundle::isPlainName(schedule))
        return {};
    const QString path = folder() + QLatin1Char('/') + version + QLatin1Char('/') + schedule;
    return QFile::exists(path) ? path : QString();
}

BundleStore::Result BundleStore::install(const QByteArray &payload)
{
    Result result;
    const SiteBundle::ParseResult parsed = SiteBundle::parse(payload, m_language);
    if (!parsed.ok) {
        result.reason = parsed.reason;
        return result;
    }
    const SiteBundle::Contents &contents = parsed.contents;
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex().left(kDigestDigits));

    // A retained bundle comes again on every reconnect: the one in force is left as it is.
    const QString current = currentSchedule();
    if (!current.isEmpty()) {
        const QString currentFolder = QFileInfo(current).dir().dirName();
        if (kVersionFolder.match(currentFolder).captured(2) == digest
            && QFileInfo(current).fileName() == contents.schedule) {
            result.outcome = Result::Outcome::Unchanged;
            result.schedulePath = current;
            return result;
        }
    }

    // Folders made here go again when the bundle is refused.
    QStringList made;
    for (const QString &path : { m_programFolder + QStringLiteral("/sites"), folder() }) {
        if (!QFileInfo::exists(path)) {
            if (!QDir().mkdir(path))
                break;
            made.prepend(path);
        }
    }
    const auto refuse = [&](const QString &reason) {
        for (const QString &path : made)
            QDir().rmdir(path);
        result.reason = reason;
        return result;
    };
    QTemporaryDir incoming(folder() + QStringLiteral("/.incoming-XXXXXX"));
    QString reason;
    if (!incoming.isValid() || !writeFiles(incoming.path(), contents, &reason)) {
        if (reason.isEmpty())
            reason = incoming.errorString();
        // Gone before the folders that held it.
        incoming.remove();
        return refuse(refused(m_language,
            QStringLiteral("it could not be written into %1: %2.")
                .arg(QDir::toNativeSeparators(folder()), reason),
            QStringLiteral("无法写入 %1：%2。").arg(QDir::toNativeSeparators(folder()), reason)));
    }
    reason = strayReference(incoming.path(), contents, m_language);
    if (reason.isEmpty()) {
        const QString problem = m_checker(incoming.path() + QLatin1Char('/') + contents.schedule);
        if (!problem.isEmpty())
            reason = refused(m_language, problem, problem);
    }
    if (!reason.isEmpty()) {
        incoming.remove();
        return refuse(reason);
    }

    int number = 0;
    QString previous;
    const QStringList versions
        = QDir(folder()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : versions) {
        const QRegularExpressionMatch match = kVersionFolder.match(name);
        if (match.hasMatch())
            number = std::max(number, match.captured(1).toInt());
    }
    if (!current.isEmpty())
        previous = QFileInfo(current).dir().dirName();
    const QString version = QStringLiteral("v-%1-%2").arg(number + 1).arg(digest);
    const QString versionPath = folder() + QLatin1Char('/') + version;
    if (::rename(QFile::encodeName(incoming.path()).constData(),
            QFile::encodeName(versionPath).constData())
        != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        incoming.remove();
        return refuse(refused(m_language,
            QStringLiteral("%1 could not be made: %2.")
                .arg(QDir::toNativeSeparators(versionPath), why),
            QStringLiteral("无法建立 %1：%2。").arg(QDir::toNativeSeparators(versionPath), why)));
    }
    incoming.setAutoRemove(false);

    // The switch: one atomic replacement of the pointer.
    classIniFile pointer;
    pointer.setINIFileName(folder() + QLatin1Char('/') + kPointerFile);
    if (!pointer.WriteAllSections(
            { { kPointerSection,
                { { kFolderKey, version }, { kScheduleKey, contents.schedule } } } },
            &reason)) {
        QDir(versionPath).removeRecursively();
        return refuse(refused(m_language,
            QStringLiteral("the bundle in force could not be recorded: %1.").arg(reason),
            QStringLiteral("无法记录生效的时间表包：%1。").arg(reason)));
    }
    // Older versions go, and what a crash may have left half written.
    for (const QString &name : versions) {
        if ((kVersionFolder.match(name).hasMatch() && name != previous)
            || name.startsWith(QLatin1String(".incoming-")))
            QDir(folder() + QLatin1Char('/') + name).removeRecursively();
    }
    result.outcome = Result::Outcome::Installed;
    result.schedulePath = versionPath + QLatin1Char('/') + contents.schedule;
    return result;
}
