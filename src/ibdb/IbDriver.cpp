#include "ibdb/IbDriver.h"

#include "ibdb/IbCatalog.h"
#include "ibdb/IbConnectionLoss.h"
#include "ibdb/IbError.h"
#include "ibdb/IbResult.h"
#include "ibdb/IbServerInfo.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTimeStamp.h"
#include "ibdb/SqlLiteral.h"

#include <iberror.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlRecord>

#include <algorithm>

namespace {

const QString driverName = QStringLiteral("INTRBASE");

// One DPB entry: code, one length byte, the bytes.
bool appendParameter(QByteArray &dpb, char code, const QByteArray &value)
{
    if (value.size() > 255)
        return false;
    dpb += code;
    dpb += char(value.size());
    dpb += value;
    return true;
}

// Firebird 4's types reach the Firebird 3 client as the server's own text
// of them, which converts back exactly: INT128 and NUMERIC of 19 to 38
// digits, DECFLOAT with its sign of zero, infinities and NaN, and times
// with the zone as stored, named or offset. Given at attach, the binding is
// the session's default, which ALTER SESSION RESET keeps; an engine older
// than the item passes over it.
constexpr char kSetBind = 93; // isc_dpb_set_bind, newer than this client's header
const QByteArray kExactBindings =
    QByteArrayLiteral("INT128 TO VARCHAR; DECFLOAT TO VARCHAR; TIME ZONE TO VARCHAR");

QString attachPath(const QString &database, const QString &host, int port)
{
    if (host.isEmpty())
        return database;
    const QString server = port > 0 ? QStringLiteral("%1/%2").arg(host).arg(port) : host;
    return server + u':' + database;
}

// The dialect the database was created in. Statements compiled in another
// dialect mean something else (integer division, "..." as a string), so
// this is the dialect every query and statement of the program speaks.
int databaseDialect(isc_db_handle attachment)
{
    const char item = isc_info_db_sql_dialect;
    char buffer[16] = {};
    ISC_STATUS_ARRAY status;
    isc_database_info(status, &attachment, 1, &item, short(sizeof buffer), buffer);
    IbError::check(status, QSqlError::ConnectionError);
    if (buffer[0] != item)
        return 1;
    const short length = short(isc_vax_integer(buffer + 1, 2));
    if (length < 1 || length > int(sizeof buffer) - 3)
        return 1;
    // Databases older than dialects answer 0: they read statements as dialect 1.
    const int dialect = int(isc_vax_integer(buffer + 3, length));
    return dialect == 3 ? 3 : 1;
}

// The embedded engine reads only its own on-disk structure; a newer
// server's file is its server's to open, and the user is told how.
QSqlError withAdvice(const QSqlError &error, const ISC_STATUS *status, const QString &path)
{
    const bool local = !path.isEmpty() && !path.contains(u':');
    if (!local || status[1] != isc_wrong_ods)
        return error;
    const QString advice =
        QCoreApplication::translate("IbDriver",
                                    "A database of a newer Firebird is opened through its "
                                    "server: connect to host/port:path, for example "
                                    "localhost/3050:%1")
            .arg(path);
    return QSqlError(error.driverText(), error.databaseText() + u'\n' + advice, error.type(),
                     error.nativeErrorCode());
}

} // namespace

IbDriver::IbDriver(QObject *parent)
    : QSqlDriver(parent)
{
}

IbDriver::~IbDriver()
{
    close();
}

void IbDriver::registerDriver()
{
    static bool registered = false;
    if (registered)
        return;
    QSqlDatabase::registerSqlDriver(driverName, new QSqlDriverCreator<IbDriver>);
    IbTimeStamp::loadSystemZoneOnce();
    registered = true;
}

void IbDriver::shutdownClient()
{
    // The embedded engine works in threads of its own. Stopping it while the
    // program still runs, after every attachment is closed, lets it finish
    // its writes and let go of the database files, instead of being cut off
    // by the exit handlers in whatever order they run.
    constexpr unsigned timeoutMs = 10000;
    fb_shutdown(timeoutMs, fb_shutrsn_app_stopped);
}

bool IbDriver::hasFeature(DriverFeature feature) const
{
    switch (feature) {
    case BLOB:
    case Unicode:
    case PreparedQueries:
    case PositionalPlaceholders:
    case NamedPlaceholders:
    case FinishQuery:
        return true;
    default:
        // Transactions among them: every query commits on its own.
        return false;
    }
}

void IbDriver::refuseOpen(const QSqlError &error)
{
    setLastError(error);
    setOpenError(true);
}

bool IbDriver::applyOptions(const QString &options)
{
    m_requestedDialect = 0;
    const qsizetype roleAt = options.indexOf(roleOption(), 0, Qt::CaseInsensitive);
    const bool hasRole = roleAt == 0 || (roleAt > 0 && options.at(roleAt - 1) == u';');
    m_role = hasRole ? options.mid(roleAt + roleOption().size()) : QString();
    const QStringList entries =
        (hasRole ? options.left(roleAt) : options).split(u';', Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        const QString key = entry.section(u'=', 0, 0).trimmed();
        const QString value = entry.section(u'=', 1).trimmed();
        if (key.compare(QLatin1String("ISC_DIALECT"), Qt::CaseInsensitive) != 0)
            continue;
        if (value != QLatin1String("1") && value != QLatin1String("3")) {
            const QString text = QCoreApplication::translate(
                "IbDriver", "Unsupported SQL dialect \"%1\"").arg(value);
            refuseOpen(QSqlError(text, QString(), QSqlError::ConnectionError));
            return false;
        }
        m_requestedDialect = value.toInt();
    }
    return true;
}

bool IbDriver::open(const QString &database, const QString &user, const QString &password,
                    const QString &host, int port, const QString &options)
{
    if (isOpen())
        close();
    if (m_lost) {
        refuseOpen(QSqlError(QString(), IbConnectionLoss::lostText(), QSqlError::ConnectionError));
        return false;
    }
    if (!applyOptions(options))
        return false;
    QByteArray dpb(1, char(isc_dpb_version1));
    const bool fits = (user.isEmpty() || appendParameter(dpb, isc_dpb_user_name, user.toUtf8()))
                      && (password.isEmpty()
                          || appendParameter(dpb, isc_dpb_password, password.toUtf8()))
                      && appendParameter(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("UTF8"))
                      && appendParameter(dpb, kSetBind, kExactBindings)
                      && (m_role.isEmpty()
                          || appendParameter(dpb, isc_dpb_sql_role_name, m_role.toUtf8()));
    if (!fits) {
        const QString text =
            QCoreApplication::translate("IbDriver", "User name, password or role is too long");
        refuseOpen(QSqlError(text, QString(), QSqlError::ConnectionError));
        return false;
    }
    const QByteArray path = attachPath(database, host, port).toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment attachment;
    isc_attach_database(status, 0, path.constData(), attachment.ref(), short(dpb.size()),
                        dpb.constData());
    try {
        IbError::check(status, QSqlError::ConnectionError);
    } catch (const IbError &error) {
        refuseOpen(withAdvice(error.toSqlError(), status, host.isEmpty() ? database : QString()));
        return false;
    }
    int dialect = m_requestedDialect;
    try {
        if (dialect == 0)
            dialect = databaseDialect(attachment.get());
        m_server = IbServerInfo::read(attachment.get());
    } catch (const IbError &error) {
        refuseOpen(error.toSqlError());
        return false;
    }
    m_dialect = dialect;
    m_attachment = std::move(attachment);
    setLastError(QSqlError());
    setOpen(true);
    setOpenError(false);
    return true;
}

void IbDriver::close()
{
    // Results stay listed: a query kept across a reconnect prepares anew.
    for (IbResult *result : m_results)
        result->releaseHandles(m_lost);
    if (!m_attachment)
        return;
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, m_attachment.ref());
    if (IbStatus::failed(status)) {
        // Refused because another transaction is open on the attachment; the
        // server has shut the connection down all the same, so it is closed.
        setLastError(QSqlError(QString(), IbStatus::plainText(status),
                               QSqlError::ConnectionError, QString::number(status[1])));
        m_attachment.reset();
    }
    m_attachment.forget();
    setOpen(false);
    setOpenError(false);
}

QSqlError IbDriver::noticed(const IbError &error) const
{
    QSqlError reported = error.toSqlError();
    if (!error.connectionLost() || m_lost)
        return reported;
    m_lost = true;
    if (!m_lossHandler)
        return reported;
    const QString note = m_lossHandler(reported.databaseText());
    return QSqlError(reported.driverText(), reported.databaseText() + u'\n' + note,
                     reported.type(), reported.nativeErrorCode());
}

QSqlResult *IbDriver::createResult() const
{
    return new IbResult(this);
}

QVariant IbDriver::handle() const
{
    return QVariant::fromValue<isc_db_handle>(m_attachment.get());
}

void IbDriver::attachResult(IbResult *result) const
{
    m_results.push_back(result);
}

void IbDriver::detachResult(IbResult *result) const
{
    m_results.erase(std::remove(m_results.begin(), m_results.end(), result), m_results.end());
}

QStringList IbDriver::tables(QSql::TableType type) const
{
    return isOpen() ? IbCatalog(this).tables(type) : QStringList();
}

QSqlRecord IbDriver::record(const QString &tableName) const
{
    return isOpen() ? IbCatalog(this).record(tableName) : QSqlRecord();
}

QSqlIndex IbDriver::primaryIndex(const QString &tableName) const
{
    return isOpen() ? IbCatalog(this).primaryIndex(tableName) : QSqlIndex();
}

QString IbDriver::escapeIdentifier(const QString &identifier, IdentifierType) const
{
    return SqlLiteral::name(identifier, m_dialect);
}

bool IbDriver::isIdentifierEscaped(const QString &, IdentifierType) const
{
    return false;
}

QString IbDriver::formatValue(const QSqlField &field, bool trimStrings) const
{
    if (field.isNull())
        return QSqlDriver::formatValue(field, trimStrings);
    const QVariant value = field.value();
    const auto quoted = [](const QString &text) { return u'\'' + text + u'\''; };
    switch (field.metaType().id()) {
    case QMetaType::QDate:
        return quoted(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QTime:
        return quoted(value.toTime().toString(QStringLiteral("HH:mm:ss.zzz")));
    case QMetaType::QDateTime:
        return quoted(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    case QMetaType::QByteArray:
        return QStringLiteral("X'%1'").arg(QString::fromLatin1(value.toByteArray().toHex()));
    default:
        return QSqlDriver::formatValue(field, trimStrings);
    }
}
