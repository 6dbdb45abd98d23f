#include "consoleprompts.h"

#include <QTextStream>

#include <cstdio>
#include <unistd.h>

void ConsolePrompts::inform(const QString &text, const QString &title, PromptIcon icon)
{
    Q_UNUSED(title)
    Q_UNUSED(icon)
    QTextStream(stdout) << text << Qt::endl;
}

bool ConsolePrompts::confirm(const QString &text, const QString &title)
{
    Q_UNUSED(title)
    QTextStream out(stdout);
    if (m_assumeYes) {
        out << text << " OK" << Qt::endl;
        return true;
    }
    if (!::isatty(STDIN_FILENO)) {
        out << text << " Cancel" << Qt::endl;
        QTextStream(stderr) << "vantrel-cli: not confirmed; give --yes to answer OK without "
                               "being asked\n";
        return false;
    }
    out << text << " [OK/Cancel] " << Qt::flush;
    const QString answer = QTextStream(stdin).readLine().trimmed().toLower();
    return answer == QLatin1String("ok") || answer == QLatin1String("y")
        || answer == QLatin1String("yes");
}
