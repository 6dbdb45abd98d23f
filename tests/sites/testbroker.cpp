#include "testbroker.h"
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {
constexpr int kStartWaitMs = 5000;
constexpr int kStopWaitMs = 3000;

int freePort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

bool accepts(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(200);
}
} // namespace

TestBroker::~TestBroker()
{
    stop();
}

bool TestBroker::start(QString *why)
{
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("mosquitto"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin") });
    if (program.isEmpty()) {
        *why = QStringLiteral("mosquitto is not installed (scripts/install-deps.sh --test)");
        return false;
    }
    if (m_port == 0)
        m_port = freePort();
    QByteArray config
        = "listener " + QByteArray::number(m_port) + " 127.0.0.1\npersistence false\n";
    if (m_users.isEmpty()) {
        config += "allow_anonymous true\n";
    } else {
        // Started as root, mosquitto reads its files as the user "mosquitto".
        QFile::setPermissions(
            m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadOther | QFile::ExeOther);
        const QString passwords = m_dir.filePath(QStringLiteral("passwords"));
        QFile(passwords).remove();
        for (const QString &user : m_users) {
            QFile(passwords).open(QIODevice::Append);
            if (QProcess::execute(QStringLiteral("mosquitto_passwd"),
                    { QStringLiteral("-b"), passwords, user.section(QLatin1Char(':'), 0, 0),
                        user.section(QLatin1Char(':'), 1) })
                != 0) {
                *why = QStringLiteral("mosquitto_passwd failed");
                return false;
            }
        }
        config += "allow_anonymous false\npassword_file " + passwords.toUtf8() + "\n";
        const QString acl = m_dir.filePath(QStringLiteral("acl"));
        if (!m_acl.isEmpty()) {
            if (!writeFile(acl, m_acl)
                || !QFile::setPermissions(acl, QFile::permissions(acl) | QFile::ReadOther)) {
                *why = QStringLiteral("%1 cannot be written").arg(acl);
                return false;
            }
            config += "acl_file " + acl.toUtf8() + "\n";
        }
    }
    if (!m_tlsFolder.isEmpty()) {
        for (const char *key : { "cafile ca.pem", "certfile server.pem", "keyfile server.key" }) {
            const QList<QByteArray> parts = QByteArray(key).split(' ');
            config += parts.at(0) + ' ' + QFile::encodeName(m_tlsFolder) + '/' + parts.at(1) + '\n';
        }
    }
    const QString file = m_dir.filePath(QStringLiteral("mosquitto.conf"));
    if (!writeFile(file, config)) {
        *why = QStringLiteral("%1 cannot be written").arg(file);
        return false;
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, { QStringLiteral("-c"), file });
    const QDeadlineTimer deadline(kStartWaitMs);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            break;
        if (accepts(m_port))
            return true;
        QThread::msleep(50);
    }
    *why = QStringLiteral("mosquitto did not come up on port %1: %2")
               .arg(m_port)
               .arg(QString::fromLocal8Bit(m_process.readAll()));
    stop();
    return false;
}

bool TestBroker::makeCertificates(const QString &folder, QString *why)
{
    // Two authorities, and a certificate for 127.0.0.1 signed by the first. Started as root,
    // mosquitto reads its files as the user "mosquitto": they are readable by all.
    const char *script = R"(set -e; cd "$1"
        key="-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
        for ca in ca other-ca; do
            openssl req -x509 $key -days 2 -subj /CN=$ca -keyout $ca.key -out $ca.pem
        done
        openssl req $key -subj /CN=127.0.0.1 -keyout server.key -out server.csr
        echo subjectAltName=IP:127.0.0.1 > san.ext
        openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
            -extfile san.ext -out server.pem
        chmod a+rX . *)";
    QProcess shell;
    shell.start(QStringLiteral("sh"),
        { QStringLiteral("-c"), QLatin1String(script), QStringLiteral("sh"), folder });
    if (!shell.waitForFinished(kStartWaitMs) || shell.exitCode() != 0) {
        *why = QStringLiteral("openssl failed: ")
            + QString::fromLocal8Bit(shell.readAllStandardError());
        return false;
    }
    return true;
}

void TestBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(kStopWaitMs)) {
        m_process.kill();
        m_process.waitForFinished(kStopWaitMs);
    }
}
