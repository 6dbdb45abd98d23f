#include "filedialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

// "*.TXT" matches a.txt too; "*.*" matches names without a dot.
QString widenPatterns(const QString &patterns)
{
    QStringList out;
    for (const QString &p :
        patterns.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)) {
        const QString pattern = p == QLatin1String("*.*") ? QStringLiteral("*") : p;
        for (const QString &variant : { pattern, pattern.toLower(), pattern.toUpper() }) {
            if (!out.contains(variant))
                out.append(variant);
        }
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

QString toolkitFileFilter(const QString &filter)
{
    static const QRegularExpression named(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString pattern = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        const QRegularExpressionMatch match = named.match(description);
        if (pattern.isEmpty() && match.hasMatch())
            pattern = match.captured(1);
        if (pattern.isEmpty())
            pattern = QStringLiteral("*");
        const QString label
            = match.hasMatch() ? description.left(match.capturedStart()).trimmed() : description;
        entries.append(QStringLiteral("%1 (%2)").arg(
            label.isEmpty() ? pattern : label, widenPatterns(pattern)));
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtFileDialogs::openFileName(
    const QString &title, const QString &filter, const QString &folder, int selectedFilter)
{
    const QString filters = toolkitFileFilter(filter);
    QFileDialog dialog(m_parent, title, m_lastFolder.isEmpty() ? folder : m_lastFolder, filters);
    dialog.selectNameFilter(filters.split(QStringLiteral(";;")).value(selectedFilter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString QtFileDialogs::saveFileName(const QString &title, const QString &filter,
    const QString &folder, const QString &initialName, const QString &defaultSuffix)
{
    QFileDialog dialog(m_parent, title, folder, toolkitFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}
