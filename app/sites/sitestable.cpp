#include "sitestable.h"

#include "localtext.h"
#include "sitessettings.h"
#include "sitetopics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace {

QJsonObject jsonObject(const QByteArray &payload, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        *error = parseError.errorString();
    else if (!document.isObject())
        *error = QStringLiteral("not an object");
    return document.object();
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? QLocale::system().toString(time, QLocale::ShortFormat) : QString();
}

SitesTable::Site namedSite(const QString &name)
{
    SitesTable::Site site;
    site.name = name;
    return site;
}

} // namespace

SitesTable::SitesTable(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_sites.append(namedSite(SiteTopics::allSites()));
    m_headers = { QStringLiteral("Site"), QStringLiteral("State"),
        QStringLiteral("Schedule in force"), QStringLiteral("Signs"), QStringLiteral("Last change"),
        QStringLiteral("Last error") };
}

void SitesTable::setLanguage(const QString &language)
{
    m_language = language;
    if (!m_sites.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void SitesTable::takeMessage(const QString &topic, const QByteArray &payload, const QDateTime &now)
{
    const QStringList levels = topic.split(QLatin1Char('/'));
    if (levels.size() != 3 || levels.at(0) != QLatin1String("vantrel")
        || !SitesSettingsFile::isSiteName(levels.at(1)))
        return;
    if (levels.at(2) == QLatin1String("status"))
        takeStatus(levels.at(1), payload, now);
    else if (levels.at(2) == QLatin1String("error"))
        takeError(levels.at(1), payload, now);
}

void SitesTable::takeStatus(const QString &name, const QByteArray &payload, const QDateTime &now)
{
    if (payload.isEmpty()) {
        for (int i = 1; i < m_sites.size(); ++i) {
            if (m_sites.at(i).name == name) {
                beginRemoveRows({}, i, i);
                m_sites.removeAt(i);
                endRemoveRows();
                return;
            }
        }
        return;
    }
    const int i = siteIndex(name);
    Site &site = m_sites[i];
    QString error;
    const QJsonObject status = jsonObject(payload, &error);
    const QString state = status.value(QLatin1String("state")).toString();
    if (!error.isEmpty()
        || (state != QLatin1String("online") && state != QLatin1String("offline"))) {
        // An unreadable status says nothing of the site: keep what was known, say why.
        site.error = localText(m_language,
            QStringLiteral("The status cannot be read (%1).")
                .arg(error.isEmpty() ? QStringLiteral("no online or offline state") : error),
            QStringLiteral("无法读取状态（%1）。")
                .arg(error.isEmpty() ? QStringLiteral("没有 online 或 offline 状态") : error));
        rowChanged(i);
        return;
    }
    site.state = state;
    // The offline will carries no more than the state: the rest stays as last known.
    if (state == QLatin1String("online")) {
        site.schedule = status.value(QLatin1String("schedule")).toString();
        site.entry = status.value(QLatin1String("entry")).toString();
        site.show = status.value(QLatin1String("show")).toString();
        site.succeeded = 0;
        site.failed = 0;
        for (const QJsonValue &target : status.value(QLatin1String("targets")).toArray()) {
            const QString result = target.toObject().value(QLatin1String("result")).toString();
            if (result == QLatin1String("succeeded"))
                ++site.succeeded;
            else if (!result.isEmpty() && result != QLatin1String("pending"))
                ++site.failed;
        }
    }
    const QDateTime updated
        = QDateTime::fromString(status.value(QLatin1String("updated")).toString(), Qt::ISODate);
    site.changed = updated.isValid() ? updated : now;
    rowChanged(i);
}

void SitesTable::takeError(const QString &name, const QByteArray &payload, const QDateTime &now)
{
    if (payload.isEmpty())
        return;
    const int i = siteIndex(name);
    QString error;
    const QJsonObject object = jsonObject(payload, &error);
    QString reason = object.value(QLatin1String("reason")).toString();
    if (reason.isEmpty())
        reason = QString::fromUtf8(payload.left(SiteTopics::kMostMessageBytes)).simplified();
    m_sites[i].error = QStringLiteral("%1 %2").arg(timeText(now), reason);
    rowChanged(i);
}

void SitesTable::clear()
{
    beginResetModel();
    m_sites.resize(1);
    endResetModel();
}

QString SitesTable::siteAt(int row) const
{
    return row >= 0 && row < m_sites.size() ? m_sites.at(row).name : QString();
}

int SitesTable::siteIndex(const QString &name)
{
    for (int i = 1; i < m_sites.size(); ++i) {
        if (m_sites.at(i).name == name)
            return i;
    }
    const int row = int(m_sites.size());
    beginInsertRows({}, row, row);
    m_sites.append(namedSite(name));
    endInsertRows();
    return row;
}

void SitesTable::rowChanged(int i)
{
    emit dataChanged(index(i, 0), index(i, ColumnCount - 1));
}

int SitesTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sites.size());
}

int SitesTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SitesTable::text(const Site &site, int column) const
{
    const bool all = site.name == SiteTopics::allSites();
    switch (column) {
    case SiteColumn:
        return all ? localText(m_language, QStringLiteral("All sites"), QStringLiteral("所有站点"))
                   : site.name;
    case StateColumn:
        if (site.state == QLatin1String("online"))
            return localText(m_language, QStringLiteral("online"), QStringLiteral("在线"));
        if (site.state == QLatin1String("offline"))
            return localText(m_language, QStringLiteral("offline"), QStringLiteral("离线"));
        return {};
    case ScheduleColumn:
        if (site.entry.isEmpty())
            return site.schedule;
        return QStringLiteral("%1: %2 (%3)").arg(site.schedule, site.entry, site.show);
    case SignsColumn:
        if (all || site.state.isEmpty())
            return {};
        return localText(m_language,
            QStringLiteral("%1 succeeded / %2 failed").arg(site.succeeded).arg(site.failed),
            QStringLiteral("%1 成功 / %2 失败").arg(site.succeeded).arg(site.failed));
    case ChangedColumn:
        return timeText(site.changed);
    case ErrorColumn:
        return site.error;
    }
    return {};
}

QVariant SitesTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_sites.size())
        return {};
    const Site &site = m_sites.at(index.row());
    if (role == SiteRole)
        return site.name;
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == ErrorColumn))
        return text(site, index.column());
    return {};
}

QVariant SitesTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return {};
    return m_headers.at(section);
}

bool SitesTable::setHeaderData(
    int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return false;
    m_headers[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
