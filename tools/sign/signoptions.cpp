#include "signoptions.h"

#include <QRegularExpression>

namespace {

bool parseTcp(const QString &text, QHostAddress *address, quint16 *port)
{
    // [HOST:]PORT; HOST may be an IPv6 address in brackets.
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(\\[[^\\]]+\\]|[^:]+):)?(\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const int value = m.captured(2).toInt();
    if (value > 65535)
        return false;
    QString host = m.captured(1);
    if (!host.isEmpty()) {
        if (host.startsWith(QLatin1Char('[')))
            host = host.mid(1, host.size() - 2);
        QHostAddress parsed;
        if (host == QLatin1String("localhost"))
            parsed = QHostAddress(QHostAddress::LocalHost);
        else if (!parsed.setAddress(host))
            return false;
        *address = parsed;
    }
    *port = quint16(value);
    return true;
}

} // namespace

bool SignOptions::parse(const QStringList &args, QString *error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const auto value = [&](QString *out) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            *out = args.at(++i);
            return true;
        };
        QString v;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
        } else if (arg == QLatin1String("--pty")) {
            pty = true;
        } else if (arg == QLatin1String("--tcp")) {
            if (!value(&v))
                return false;
            if (!parseTcp(v, &tcpAddress, &tcpPort)) {
                *error = QStringLiteral("--tcp takes [HOST:]PORT with a numeric address and a "
                                        "port from 0 to 65535, not \"%1\"")
                             .arg(v);
                return false;
            }
        } else if (arg == QLatin1String("--out")) {
            if (!value(&v))
                return false;
            outFolder = v;
        } else if (arg == QLatin1String("--answer")) {
            if (!value(&v))
                return false;
            if (v == QLatin1String("ok")) {
                answer = VirtualSign::AnswerMode::Ok;
            } else if (v == QLatin1String("fail")) {
                answer = VirtualSign::AnswerMode::Fail;
            } else if (v == QLatin1String("none")) {
                answer = VirtualSign::AnswerMode::None;
            } else {
                *error = QStringLiteral("--answer takes ok, fail or none, not \"%1\"").arg(v);
                return false;
            }
        } else {
            *error = QStringLiteral("unknown argument %1").arg(arg);
            return false;
        }
    }
    return true;
}

QString SignOptions::usage()
{
    return QStringLiteral(
        "Usage: vantrel-sign [--tcp [HOST:]PORT] [--pty] [--out DIR] [--answer ok|fail|none]\n"
        "\n"
        "A virtual LED sign controller. It takes picture, control and clear-screen packets,\n"
        "checks each one and answers as a controller does: over TCP 02 00 00 88 (success)\n"
        "or 02 00 00 EE (failure), over the serial line AA or DD.\n"
        "\n"
        "  --tcp [HOST:]PORT  listen there (default 127.0.0.1:5005; port 0 picks a free one)\n"
        "  --pty              also open a pseudo-terminal to use as the serial port\n"
        "  --out DIR          write slot-N.png for each page held (N is the packet's slot\n"
        "                     byte, row number + 2; one pixel per LED), effects.txt and a\n"
        "                     line per packet to packets.log\n"
        "  --answer MODE      ok: answer as a controller would (default); fail: answer\n"
        "                     failure to everything; none: never answer\n"
        "\n"
        "On start it prints one line per listener and flushes: \"tcp ADDRESS:PORT\" and,\n"
        "with --pty, \"pty DEVICE\" (set CommPort to DEVICE). Then one line per packet:\n"
        "time, type, length, slot(s), verdict. SIGINT or SIGTERM ends it with status 0;\n"
        "a bad option or a listener that cannot be opened ends it with status 2.\n");
}
