// value set, get and list: the values that {value:NAME} fields of pages show.

#include "cliargs.h"
#include "clicommand.h"
#include "sendsetup.h"
#include "valuenotice.h"

#include "programfolder.h"
#include "valuestore.h"

#include <QTextStream>

namespace {

const QString kName = QStringLiteral("value");
const QString kLanguage = QStringLiteral("English");

int runValue(const QStringList &argv)
{
    CliArgs args;
    QString error;
    if (!args.parse(argv, { QStringLiteral("program-folder") }, {}, &error))
        return cliUsage(kName, error);
    const QStringList words = args.positional();
    const QString what = words.value(0);
    const int expected = what == QLatin1String("set") ? 3
        : what == QLatin1String("get")                ? 2
        : what == QLatin1String("list")               ? 1
                                                      : 0;
    if (expected == 0)
        return cliUsage(kName, QStringLiteral("value takes set, get or list"));
    if (words.size() != expected)
        return cliUsage(kName,
            what == QLatin1String("set")       ? QStringLiteral("value set needs a NAME and a TEXT")
                : what == QLatin1String("get") ? QStringLiteral("value get needs a NAME")
                                               : QStringLiteral("value list takes no argument"));
    SendOptions::useProgramFolder(args);
    const ValueStore store(programFolder());
    QTextStream out(stdout);
    if (what == QLatin1String("set")) {
        if (!store.set(words.at(1), words.at(2), &error, kLanguage))
            return cliFail(CliExit::kRefused, error);
        noticeValueChanged(programFolder(), words.at(1));
        return CliExit::kOk;
    }
    if (what == QLatin1String("get")) {
        QString value;
        if (!store.get(words.at(1), &value, &error, kLanguage))
            return cliFail(CliExit::kRefused, error);
        out << value << '\n';
        return CliExit::kOk;
    }
    for (const QString &name : store.names()) {
        QString value;
        if (!store.get(name, &value, &error, kLanguage))
            value = QStringLiteral("? (") + error + QLatin1Char(')');
        out << name << '\t' << value << '\n';
    }
    return CliExit::kOk;
}

const CliCommandRegistration kValue({
    kName,
    QStringLiteral("value (set NAME TEXT | get NAME | list) [--program-folder DIR]"),
    QStringLiteral(
        "The values that {value:NAME} fields of pages show, kept in the program folder\n"
        "(values/NAME.txt, one UTF-8 line each).\n"
        "value set NAME TEXT  stores TEXT as value NAME, replacing the old one in one step;\n"
        "              line breaks become blanks. NAME is 1 to 64 letters, digits, - and _;\n"
        "              TEXT has at most 1000 characters, a longer one is refused (exit 2)\n"
        "              and the old value is kept.\n"
        "value get NAME       prints the value; exit 2 when it was never set\n"
        "value list           prints every value as NAME<tab>TEXT, by name\n"
        "--program-folder DIR  the folder of the values (default: $VANTREL_PROGRAM_FOLDER,\n"
        "              else the program folder that vantrel-cli --help names)\n"
        "Pages sent, rendered or packed afterwards show the new value; a vantrel-agent\n"
        "running for the program folder is told at once and sends the pages that show it."),
    runValue,
});

} // namespace
