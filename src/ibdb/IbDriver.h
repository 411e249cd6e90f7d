#pragma once

#include "ibdb/IbHandles.h"
#include "ibdb/IbServerInfo.h"

#include <QSqlDriver>

#include <functional>
#include <vector>

class IbError;
class IbResult;

// The Qt SQL driver "INTRBASE" on the Firebird/InterBase client library.
// The database name is the attach path as is (a file, host:/path or
// host/port:/path); the attachment speaks UTF8 and prepares in the database's
// own SQL dialect, read at attach, unless the connect option ISC_DIALECT=1 or
// ISC_DIALECT=3 asks for another (tests compare both). Every query runs
// in its own read-committed transaction; handle() gives the attachment so
// that other code can run its own transactions on it.
class IbDriver : public QSqlDriver
{
    Q_OBJECT

public:
    explicit IbDriver(QObject *parent = nullptr);
    ~IbDriver() override;

    // Makes the driver known to QSqlDatabase as "INTRBASE"; calling it again does nothing.
    static void registerDriver();
    // The connect option naming the role to attach in: the rest of the
    // options text after it is the role's name, whatever it holds.
    static QString roleOption() { return QStringLiteral("ISC_DPB_SQL_ROLE_NAME="); }
    // Stops the client library and the embedded engine; once every connection is closed.
    static void shutdownClient();

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString &database, const QString &user, const QString &password,
              const QString &host, int port, const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    // QVariant::fromValue<isc_db_handle>: the open attachment (0 when closed).
    QVariant handle() const override;

    QStringList tables(QSql::TableType type) const override;
    QSqlRecord record(const QString &tableName) const override;
    QSqlIndex primaryIndex(const QString &tableName) const override;
    // Dialect 1 has no quoted identifiers: names are used as they are. In
    // dialect 3 a name that would not read back as itself goes in double quotes.
    QString escapeIdentifier(const QString &identifier, IdentifierType type) const override;
    // Names reach the driver as stored, never quoted already: a stored name
    // may itself begin and end with a double quote.
    bool isIdentifierEscaped(const QString &identifier, IdentifierType type) const override;
    QString formatValue(const QSqlField &field, bool trimStrings = false) const override;

    // The SQL dialect in which statements are prepared (1 or 3).
    int dialect() const { return m_dialect; }
    // The server's version and the database's ODS, read at attach.
    const IbServerInfo &serverInfo() const { return m_server; }

    // Told once, with the client's text, when a call finds the attachment
    // gone; answers what to say after that text about the work lost with it.
    using LossHandler = std::function<QString(const QString &clientText)>;
    void setLossHandler(LossHandler handler) { m_lossHandler = std::move(handler); }
    // The error a failed call reports. A lost attachment is told to the
    // handler, and from then on the driver opens only once asked to
    // reattach, so no query reattaches behind the user's back.
    QSqlError noticed(const IbError &error) const;
    bool connectionLost() const { return m_lost; }
    void markLost() { m_lost = true; }
    void allowReattach() { m_lost = false; }

private:
    friend class IbResult;

    isc_db_handle attachment() const { return m_attachment.get(); }
    void attachResult(IbResult *result) const;
    void detachResult(IbResult *result) const;
    bool applyOptions(const QString &options);
    void refuseOpen(const QSqlError &error);

    IbAttachment m_attachment;
    int m_dialect = 1;
    IbServerInfo m_server;
    int m_requestedDialect = 0; // 0: the database's own
    QString m_role;
    // Queries still holding handles on the attachment; let go of before detaching.
    mutable std::vector<IbResult *> m_results;
    LossHandler m_lossHandler;
    mutable bool m_lost = false;
};
