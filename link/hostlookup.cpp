#include "hostlookup.h"

#include <QUrl>

#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

namespace {

HostLookup::Factory &factory()
{
    static HostLookup::Factory f;
    return f;
}

struct Answer
{
    QList<QHostAddress> addresses;
    QString error;
};

// getaddrinfo itself rather than QHostInfo: a stuck name then blocks only its own thread,
// and touches none of Qt's globals, which may be gone when it returns after the program ends.
Answer resolve(const QByteArray &name)
{
    Answer answer;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    const int status = ::getaddrinfo(name.constData(), nullptr, &hints, &list);
    if (status != 0) {
        answer.error = QString::fromLocal8Bit(::gai_strerror(status));
        return answer;
    }
    for (const addrinfo *a = list; a; a = a->ai_next) {
        const QHostAddress address(a->ai_addr);
        if (!address.isNull() && !answer.addresses.contains(address))
            answer.addresses.append(address);
    }
    ::freeaddrinfo(list);
    if (answer.addresses.isEmpty())
        answer.error = QStringLiteral("Host not found");
    return answer;
}

class SystemHostLookup : public HostLookup
{
public:
    SystemHostLookup(const QString &host, QObject *parent)
        : HostLookup(parent)
        , m_mailbox(std::make_shared<Mailbox>())
    {
        m_mailbox->owner = this;
        QByteArray name = QUrl::toAce(host);
        if (name.isEmpty())
            name = host.toUtf8();
        try {
            std::thread([mailbox = m_mailbox, name] {
                const Answer answer = resolve(name);
                const std::lock_guard<std::mutex> lock(mailbox->mutex);
                if (mailbox->owner)
                    mailbox->owner->post(answer);
            }).detach();
        } catch (const std::system_error &e) {
            // Out of threads: this target is not reached, the others go on.
            post({ {}, QString::fromLocal8Bit(e.what()) });
        }
    }

    ~SystemHostLookup() override
    {
        const std::lock_guard<std::mutex> lock(m_mailbox->mutex);
        m_mailbox->owner = nullptr;
    }

private:
    struct Mailbox
    {
        std::mutex mutex;
        SystemHostLookup *owner = nullptr;
    };

    // Queued to the owner's thread; Qt drops it should the owner be deleted first.
    void post(const Answer &answer)
    {
        QMetaObject::invokeMethod(
            this, [this, answer] { deliver(answer); }, Qt::QueuedConnection);
    }

    void deliver(const Answer &answer)
    {
        if (answer.addresses.isEmpty())
            emit failed(answer.error);
        else
            emit found(answer.addresses);
    }

    std::shared_ptr<Mailbox> m_mailbox;
};

} // namespace

HostLookup *HostLookup::start(const QString &host, QObject *parent)
{
    if (factory())
        return factory()(host, parent);
    return new SystemHostLookup(host, parent);
}

void HostLookup::setFactory(Factory f)
{
    factory() = std::move(f);
}
