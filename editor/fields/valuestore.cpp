#include "valuestore.h"

#include "fieldparser.h"
#include "fieldresolver.h"

#include "atomicfile.h"
#include "localtext.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
const QString kSuffix = QStringLiteral(".txt");
} // namespace

ValueStore::ValueStore(QString programFolder)
    : m_programFolder(std::move(programFolder))
{ }

QString ValueStore::folder() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("values"));
}

QString ValueStore::filePath(const QString &name) const
{
    return QDir(folder()).filePath(name + kSuffix);
}

bool ValueStore::set(
    const QString &name, const QString &text, QString *error, const QString &language) const
{
    if (!Fields::isValidValueName(name)) {
        *error = localText(language,
            QStringLiteral("\"%1\" is not a value name: use 1 to %2 letters, digits, - and _")
                .arg(name)
                .arg(Fields::kMaxValueNameLength),
            QStringLiteral("“%1”不是有效的值名称：请使用 1 到 %2 个字母、数字、- 和 _")
                .arg(name)
                .arg(Fields::kMaxValueNameLength));
        return false;
    }
    if (text.size() > kMaxValueLength) {
        *error = localText(language,
            QStringLiteral("the value of %1 is %2 characters long; a value may have at most %3. "
                           "The old value is kept.")
                .arg(name)
                .arg(text.size())
                .arg(kMaxValueLength),
            QStringLiteral("%1 的值有 %2 个字符；值最多 %3 个字符。旧值保持不变。")
                .arg(name)
                .arg(text.size())
                .arg(kMaxValueLength));
        return false;
    }
    if (!QDir().mkpath(folder())) {
        *error = localText(language,
            QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(folder())),
            QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder())));
        return false;
    }
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
    const QString line = QString(text).replace(lineBreaks, QStringLiteral(" "));
    QString reason;
    if (!writeFileAtomically(filePath(name), line.toUtf8() + '\n', &reason)) {
        *error = localText(language,
            QStringLiteral("cannot write %1: %2")
                .arg(QDir::toNativeSeparators(filePath(name)), reason),
            QStringLiteral("无法写入 %1：%2")
                .arg(QDir::toNativeSeparators(filePath(name)), reason));
        return false;
    }
    return true;
}

bool ValueStore::get(
    const QString &name, QString *value, QString *error, const QString &language) const
{
    if (!Fields::isValidValueName(name)) {
        *error = localText(language, QStringLiteral("\"%1\" is not a value name").arg(name),
            QStringLiteral("“%1”不是有效的值名称").arg(name));
        return false;
    }
    if (!QFileInfo::exists(filePath(name))) {
        *error = localText(language, QStringLiteral("no value %1 has been set").arg(name),
            QStringLiteral("尚未设置值 %1").arg(name));
        return false;
    }
    QString problem;
    const QString text = Fields::readFieldFile(
        m_programFolder, QStringLiteral("values/") + name + kSuffix, &problem, language);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    *value = text;
    return true;
}

QStringList ValueStore::names() const
{
    QStringList names;
    const QStringList files
        = QDir(folder()).entryList({ QStringLiteral("*") + kSuffix }, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString name = file.chopped(kSuffix.size());
        if (Fields::isValidValueName(name))
            names.append(name);
    }
    return names;
}
