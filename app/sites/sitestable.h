#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The sites on the broker as their retained status topics tell them: one row per site, in
// the order first heard of, after an "All sites" row that stands for vantrel/all/. Fed with
// the messages of vantrel/+/status and vantrel/+/error; no widgets, so a test drives it.
class SitesTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        SiteColumn,
        StateColumn, // online / offline
        ScheduleColumn, // the schedule and the entry in force
        SignsColumn, // signs succeeded / failed
        ChangedColumn, // when the status last changed
        ErrorColumn, // the last refusal the site published
        ColumnCount
    };
    // The site's name ("all" on the first row), for every column.
    static constexpr int SiteRole = Qt::UserRole;

    struct Site
    {
        QString name;
        QString state; // "online", "offline" or "" before a status was read
        QString schedule;
        QString entry;
        QString show;
        int succeeded = 0; // signs whose last send succeeded
        int failed = 0; // signs whose last send did not (pending ones are neither)
        QDateTime changed;
        QString error; // the last refusal or unreadable status, in words
    };

    explicit SitesTable(QObject *parent = nullptr);

    // The language of the texts the table composes. The headers come from the language file
    // through setHeaderData (English until then).
    void setLanguage(const QString &language);

    // Takes one message of a status or error topic received at `now`; other topics are
    // passed over. An empty status (a cleared retained topic) removes the site.
    void takeMessage(const QString &topic, const QByteArray &payload, const QDateTime &now);
    // Forgets every site (a new broker, or sites turned off).
    void clear();

    // Row 0 is "All sites"; sites follow from row 1.
    const QList<Site> &sites() const { return m_sites; }
    // The site of `row` ("all" for row 0); "" for no row.
    QString siteAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
        int role = Qt::EditRole) override;

private:
    void takeStatus(const QString &site, const QByteArray &payload, const QDateTime &now);
    void takeError(const QString &site, const QByteArray &payload, const QDateTime &now);
    // The index in m_sites of `site`, appended when it is new.
    int siteIndex(const QString &site);
    void rowChanged(int index);
    QString text(const Site &site, int column) const;

    QString m_language;
    QStringList m_headers;
    QList<Site> m_sites;
};
