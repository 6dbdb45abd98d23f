#pragma once

#include "agentstatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The topics of a site and what travels on them. Every site listens under vantrel/<site>/ and
// under vantrel/all/:
//
//   vantrel/<site>/status       retained JSON: online or offline (the offline one as the last
//                               will), the schedule and entry in force, per target its show,
//                               last result and when
//   vantrel/<site>/say          {"text": "...", "colour": "red", "seconds": 60}, or plain text
//   vantrel/<site>/value/<name> plain text: a live value
//   vantrel/<site>/schedule     retained: a schedule bundle (see SiteBundle)
//   vantrel/<site>/error        JSON {"topic": ..., "reason": ...}: why a message was refused
namespace SiteTopics {

// "say" and "value" payloads above this are refused unread.
constexpr int kMostMessageBytes = 4 * 1024;
// A live value is one short line.
constexpr int kMostValueCharacters = 1000;
// A message stays this long when "seconds" is not given, and at most kLongestSeconds.
constexpr int kDefaultSeconds = 60;
constexpr int kLongestSeconds = 24 * 60 * 60;

QString allSites(); // "all"
QString statusTopic(const QString &site);
QString errorTopic(const QString &site);
QString sayTopic(const QString &site);
QString valueTopic(const QString &site, const QString &name);
QString scheduleTopic(const QString &site);
// The filters a site subscribes to: its own topics first, then those of all sites.
QStringList subscriptions(const QString &site);

// What a received topic asks of this site.
struct Incoming
{
    enum class Kind { Other, Say, Value, Schedule };
    Kind kind = Kind::Other;
    bool forAll = false; // came under vantrel/all/
    QString valueName; // for Value: the <name> level
};
Incoming classify(const QString &topic, const QString &site);

// A message to show for a while, from a "say" payload.
struct SayRequest
{
    QString text;
    QString colour = QStringLiteral("red"); // "red", "green" or "yellow"
    int seconds = kDefaultSeconds; // 1..kLongestSeconds
};

// Reads a "say" payload: JSON when it begins with "{", plain UTF-8 text otherwise. False with
// `reason` (in the user's language) when it is refused.
bool parseSay(
    const QByteArray &payload, const QString &language, SayRequest *request, QString *reason);

// Whether `name` can be a value's name: 1..64 ASCII letters, digits, "-" and "_".
bool isValueName(const QString &name);
// Reads a "value/<name>" payload: one line of UTF-8 text, kMostValueCharacters at most.
bool parseValue(const QString &name, const QByteArray &payload, const QString &language,
    QString *value, QString *reason);

// The status payloads. Shows are given by file name: the folders are the site's own business.
QByteArray onlineStatus(const QString &site, const AgentStatus &status, const QDateTime &now);
QByteArray offlineStatus(const QString &site);
// An error payload naming the topic whose message was refused.
QByteArray errorPayload(const QString &topic, const QString &reason);

} // namespace SiteTopics
