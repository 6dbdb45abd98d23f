#include "externaltoollauncher.h"

#include "localtext.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString kXdgOpen = QStringLiteral("xdg-open");

// A new empty text file for xdg-open, which needs a file to open. It is left behind on
// purpose: the editor may still have it open when this program ends.
QString newEmptyTextFile()
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/vantrel-note-XXXXXX.txt"));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return file.fileName();
}

} // namespace

ExternalToolLauncher::ExternalToolLauncher()
    : ExternalToolLauncher(
        qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
{ }

ExternalToolLauncher::ExternalToolLauncher(const QStringList &searchPaths)
    : m_searchPaths(searchPaths)
{ }

QStringList ExternalToolLauncher::candidates(Tool tool)
{
    if (tool == Tool::TextEditor) {
        return { QStringLiteral("gedit"), QStringLiteral("gnome-text-editor"),
            QStringLiteral("mousepad"), QStringLiteral("kate"), QStringLiteral("kwrite"),
            QStringLiteral("pluma"), QStringLiteral("xed"), QStringLiteral("leafpad"),
            QStringLiteral("featherpad"), kXdgOpen };
    }
    return { QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("mtpaint"),
        QStringLiteral("drawing"), QStringLiteral("gimp"), QStringLiteral("krita") };
}

QString ExternalToolLauncher::findProgram(Tool tool) const
{
    if (m_searchPaths.isEmpty())
        return {};
    for (const QString &name : candidates(tool)) {
        const QString path = QStandardPaths::findExecutable(name, m_searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

ExternalToolLauncher::Result ExternalToolLauncher::start(Tool tool, const QString &language) const
{
    Result result;
    result.program = findProgram(tool);
    if (result.program.isEmpty()) {
        result.message = notFoundMessage(tool, language);
        return result;
    }
    QStringList arguments;
    if (QFileInfo(result.program).fileName() == kXdgOpen) {
        const QString file = newEmptyTextFile();
        if (file.isEmpty()) {
            result.message = localText(language,
                QStringLiteral("No text editor could be started: a new text file could not "
                               "be created in %1.")
                    .arg(QDir::tempPath()),
                QStringLiteral("无法启动文本编辑器：无法在 %1 中新建文本文件。")
                    .arg(QDir::tempPath()));
            return result;
        }
        arguments << file;
    }
    QProcess process;
    process.setProgram(result.program);
    process.setArguments(arguments);
    process.setWorkingDirectory(QDir::homePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    result.started = process.startDetached();
    if (!result.started) {
        QString reason = process.errorString();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        result.message = localText(language,
            QStringLiteral("%1 could not be started: %2.").arg(result.program, reason),
            QStringLiteral("无法启动 %1：%2。").arg(result.program, reason));
    }
    return result;
}

QString ExternalToolLauncher::notFoundMessage(Tool tool, const QString &language)
{
    if (tool == Tool::TextEditor) {
        return localText(language,
            QStringLiteral("No plain-text editor was found. Install one, for "
                           "example with:\nsudo apt install mousepad"),
            QStringLiteral("未找到纯文本编辑器。请安装一个，例如：\n"
                           "sudo apt install mousepad"));
    }
    return localText(language,
        QStringLiteral("No paint program was found. Install one, for example "
                       "with:\nsudo apt install kolourpaint"),
        QStringLiteral("未找到画图程序。请安装一个，例如：\n"
                       "sudo apt install kolourpaint"));
}
