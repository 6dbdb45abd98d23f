#include "bundlebuilder.h"

#include "classinifile.h"
#include "localtext.h"
#include "schedulefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

namespace BundleBuilder {

namespace {

// The keys through which a schedule names its shows and a show its pages.
const QStringList kShowKeys = { QStringLiteral("Show"), QStringLiteral("Default") };
const QStringList kPageKeys = { QStringLiteral("File Path") };

QString refused(const QString &language, const QString &english, const QString &chinese)
{
    return localText(language, QStringLiteral("The schedule cannot be published: %1").arg(english),
        QStringLiteral("无法发布时间表：%1").arg(chinese));
}

// The files of the bundle being built: plain name -> absolute path, with the bytes once read.
class Collector
{
public:
    explicit Collector(QString language)
        : m_language(std::move(language))
    { }

    // Takes the file at `absolute`, named by `from`; false with `reason` when it cannot be.
    bool add(const QString &absolute, const QString &from, QString *reason)
    {
        const QString name = QFileInfo(absolute).fileName();
        const QString shown = QDir::toNativeSeparators(absolute);
        if (const auto known = m_paths.constFind(name); known != m_paths.cend()) {
            if (*known == absolute)
                return true;
            *reason = refused(m_language,
                QStringLiteral("%1 and %2 would both be \"%3\" in the bundle. Rename one.")
                    .arg(QDir::toNativeSeparators(*known), shown, name),
                QStringLiteral("%1 和 %2 在包中都将名为“%3”。请重命名其中一个。")
                    .arg(QDir::toNativeSeparators(*known), shown, name));
            return false;
        }
        if (!SiteBundle::isPlainName(name)) {
            *reason = refused(m_language,
                QStringLiteral("the file name \"%1\" cannot travel in a bundle.").arg(name),
                QStringLiteral("文件名“%1”不能放入包中。").arg(name));
            return false;
        }
        QFile file(absolute);
        if (!QFileInfo(absolute).isFile() || !file.open(QIODevice::ReadOnly)) {
            const QString why = QFileInfo::exists(absolute)
                ? file.errorString()
                : localText(
                    m_language, QStringLiteral("it does not exist"), QStringLiteral("文件不存在"));
            *reason = refused(m_language,
                QStringLiteral("%1 names %2, which cannot be read: %3.").arg(from, shown, why),
                QStringLiteral("%1 引用了 %2，但无法读取：%3。").arg(from, shown, why));
            return false;
        }
        m_paths.insert(name, absolute);
        m_files.insert(name, file.readAll());
        return true;
    }

    void replace(const QString &name, const QByteArray &bytes) { m_files.insert(name, bytes); }
    const QMap<QString, QByteArray> &files() const { return m_files; }

private:
    QString m_language;
    QMap<QString, QString> m_paths;
    QMap<QString, QByteArray> m_files;
};

QString absoluteFrom(const QString &folder, const QString &path)
{
    return QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

QByteArray iniText(const QList<IniSection> &sections)
{
    QByteArray text;
    for (const IniSection &section : sections) {
        text += '[' + section.name.toUtf8() + "]\n";
        for (const auto &[key, value] : section.keys)
            text += key.toUtf8() + '=' + value.toUtf8() + '\n';
        text += '\n';
    }
    return text;
}

// Takes every file the INI file `path` names through `keys` (relative to its own folder) and
// returns the file's text with those names made plain. The absolute paths taken go to `named`.
bool collectNamed(const QString &path, const QStringList &keys, Collector &collector,
    QStringList *named, QByteArray *text, QString *reason)
{
    classIniFile ini;
    ini.setINIFileName(path);
    QList<IniSection> sections = ini.GetAllSections();
    const QString folder = QFileInfo(path).absolutePath();
    const QString from = QFileInfo(path).fileName();
    for (IniSection &section : sections) {
        for (auto &[key, value] : section.keys) {
            if (!keys.contains(key, Qt::CaseInsensitive) || value.isEmpty())
                continue;
            const QString absolute = absoluteFrom(folder, value);
            if (!collector.add(absolute, from, reason))
                return false;
            named->append(absolute);
            value = QFileInfo(absolute).fileName();
        }
    }
    *text = iniText(sections);
    return true;
}

// The bundle as a site reads it: written to a folder of its own and read as a schedule with
// its shows. "" when it reads, else why not.
QString checkAsSite(const SiteBundle::Contents &contents, const QString &language)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return folder.errorString();
    for (auto it = contents.files.cbegin(); it != contents.files.cend(); ++it) {
        QFile file(folder.filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            return file.errorString();
    }
    const ScheduleFile::ReadResult read
        = ScheduleFile::read(folder.filePath(contents.schedule), language);
    return read.ok ? QString() : read.message;
}

} // namespace

Result build(const QString &schedulePath, const QString &language)
{
    Result result;
    Collector collector(language);
    const QString schedule = QFileInfo(schedulePath).absoluteFilePath();
    if (!collector.add(schedule, QDir::toNativeSeparators(schedule), &result.reason))
        return result;
    QStringList shows;
    QByteArray text;
    if (!collectNamed(schedule, kShowKeys, collector, &shows, &text, &result.reason))
        return result;
    if (shows.isEmpty()) {
        result.reason = refused(language,
            QStringLiteral("%1 names no show.").arg(QDir::toNativeSeparators(schedule)),
            QStringLiteral("%1 未引用任何节目。").arg(QDir::toNativeSeparators(schedule)));
        return result;
    }
    collector.replace(QFileInfo(schedule).fileName(), text);
    shows.removeDuplicates();
    for (const QString &show : shows) {
        QStringList pages;
        if (!collectNamed(show, kPageKeys, collector, &pages, &text, &result.reason))
            return result;
        collector.replace(QFileInfo(show).fileName(), text);
    }
    result.contents.schedule = QFileInfo(schedule).fileName();
    result.contents.files = collector.files();
    const qint64 size = SiteBundle::encode(result.contents).size();
    if (size > SiteBundle::kMostBytes) {
        result.reason = refused(language,
            QStringLiteral("the bundle would be %1 bytes; a site takes at most %2.")
                .arg(size)
                .arg(SiteBundle::kMostBytes),
            QStringLiteral("包将有 %1 字节；站点最多接受 %2 字节。")
                .arg(size)
                .arg(SiteBundle::kMostBytes));
        result.contents = {};
        return result;
    }
    if (const QString problem = checkAsSite(result.contents, language); !problem.isEmpty()) {
        result.reason = refused(language, problem, problem);
        result.contents = {};
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace BundleBuilder
