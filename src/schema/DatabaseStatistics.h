#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>

// What the server's statistics report (the service's lines, as gstat
// prints them) says of a database: its header page, and per table its data
// pages, records and versions, per index its depth, buckets and nodes.
class DatabaseStatistics
{
public:
    // Pages by fill: 0-19%, 20-39%, 40-59%, 60-79%, 80-99%.
    using Fill = std::array<qint64, 5>;

    struct Index
    {
        QString name;
        qint64 depth = 0;
        qint64 leafBuckets = 0;
        qint64 nodes = 0;
        Fill fill{};
    };
    struct Table
    {
        QString name;
        qint64 id = 0;
        qint64 dataPages = 0;
        qint64 averageFill = 0; // percent
        qint64 records = 0;
        qint64 versions = 0;
        double averageRecordLength = 0;
        Fill fill{};
        QList<Index> indices;
    };

    // Reads the report; lines it does not know are passed over.
    explicit DatabaseStatistics(const QStringList &lines);

    // The header page's entries in the report's order ("Page size", "8192").
    const QList<QPair<QString, QString>> &header() const { return m_header; }
    QString headerValue(const QString &name) const;
    const QList<Table> &tables() const { return m_tables; }
    // The pages of each fill band, "3 / 0 / 0 / 1 / 20".
    static QString fillText(const Fill &fill);

private:
    void readHeaderLine(const QString &line);
    void readTableLine(const QString &line);
    void readFigures(const QString &line);

    QList<QPair<QString, QString>> m_header;
    QList<Table> m_tables;
};
