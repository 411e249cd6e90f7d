#include "workbench/RepositoryStore.h"

#include "core/AppError.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/TDMSys.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString kTempConnection = QStringLiteral("TEMPIB");

QString createStatement()
{
    return QStringLiteral("CREATE TABLE %1 (\"%2\" VARCHAR(%3) NOT NULL PRIMARY KEY, "
                          "\"%4\" TEXT)")
        .arg(RepositoryStore::table(), RepositoryStore::nameField())
        .arg(RepositoryStore::NameLength)
        .arg(RepositoryStore::sourceField());
}

QSqlError refusal(const QString &text)
{
    return QSqlError(QString(), text, QSqlError::StatementError);
}

// SQLITE_BUSY and SQLITE_LOCKED, whichever extended code comes with them.
bool isLock(const QSqlError &error)
{
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber) & 0xff;
    return isNumber && (code == 5 || code == 6);
}

// SQLITE_CORRUPT: the file is SQLite's but some of its pages are not.
bool isCorrupt(const QSqlError &error)
{
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber) & 0xff;
    return isNumber && code == 11;
}

QString nativePath(const QSqlDatabase &db)
{
    return QDir::toNativeSeparators(db.databaseName());
}

QString lockedText(const QSqlDatabase &db)
{
    return QStringLiteral("The repository file %1 is locked by another program")
        .arg(nativePath(db));
}

QString damagedText(const QSqlDatabase &db, const QString &reason)
{
    return QStringLiteral("%1 is damaged: %2").arg(nativePath(db), reason);
}

// A damaged file reads as fewer entries with no word, and a write into it
// can lose the rest: SQLite's quick check says so before anything is shown
// or stored. Empty when the file is whole.
QString damage(const QSqlDatabase &db)
{
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check"))) {
        const QSqlError error = check.lastError();
        return isLock(error) ? lockedText(db) : damagedText(db, error.databaseText());
    }
    QStringList findings;
    while (check.next())
        findings << check.value(0).toString();
    if (findings == QStringList{QStringLiteral("ok")})
        return QString();
    return damagedText(db, findings.join(QLatin1String("; ")));
}

// What keeps an open file from being the repository, or empty when it is one:
// a whole SQLite database whose repository table has both fields. Any other
// file (not SQLite at all, or another program's database) is left untouched.
QString schemaFault(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !query.next()) {
        const QSqlError error = query.lastError();
        if (isLock(error))
            return lockedText(db);
        if (isCorrupt(error))
            return damagedText(db, error.databaseText());
    } else {
        const QSqlRecord fields = db.record(RepositoryStore::table());
        if (fields.contains(RepositoryStore::nameField())
            && fields.contains(RepositoryStore::sourceField()))
            return damage(db);
    }
    return QStringLiteral("%1 is not a repository file").arg(nativePath(db));
}

QSqlDatabase tempConnection(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::contains(kTempConnection)
                          ? QSqlDatabase::database(kTempConnection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kTempConnection);
    db.close();
    db.setDatabaseName(path);
    return db;
}

} // namespace

RepositoryStore::RepositoryStore(QObject *parent)
    : QSqlTableModel(parent, QSqlDatabase::database(TDMSys::devSrcName(), false))
{
}

void RepositoryStore::attach()
{
    QSqlDatabase db = database();
    if (!db.isValid())
        throw DatabaseError(QStringLiteral("Unknown database: %1").arg(TDMSys::devSrcName()));
    // A fresh install has no file yet: its first use makes it, rather than
    // failing now and again at every entry stored.
    if (!QFileInfo::exists(db.databaseName()))
        createTable(QFileInfo(db.databaseName()).path());
    if (!db.isOpen() && !db.open())
        throw DatabaseError(SqlErrorText(db.lastError()));
    const QString fault = schemaFault(db);
    if (!fault.isEmpty()) {
        db.close();
        throw DatabaseError(fault);
    }
    setTable(table());
    if (record().isEmpty())
        throw DatabaseError(SqlErrorText(db.lastError()));
    setSort(fieldIndex(nameField()), Qt::AscendingOrder);
    setEditStrategy(OnManualSubmit);
}

void RepositoryStore::checkFile(const QString &path)
{
    QString fault;
    {
        QSqlDatabase db = tempConnection(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        fault = db.open() ? schemaFault(db) : SqlErrorText(db.lastError());
        db.close();
        db.setConnectOptions();
    }
    if (!fault.isEmpty())
        throw DatabaseError(fault);
}

void RepositoryStore::createTable(const QString &directory)
{
    QString failure;
    {
        QSqlDatabase db = tempConnection(QDir(directory).filePath(fileName()));
        if (!db.open()) {
            failure = SqlErrorText(db.lastError());
        } else {
            QSqlQuery query(db);
            if (!query.exec(createStatement()))
                failure = SqlErrorText(query.lastError());
        }
        // The file is left to the repository windows, not held open here.
        db.close();
    }
    if (!failure.isEmpty())
        throw DatabaseError(failure);
}

bool RepositoryStore::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::EditRole && index.column() == fieldIndex(nameField()) && !value.isNull())
        return QSqlTableModel::setData(index, value.toString().left(NameLength), role);
    return QSqlTableModel::setData(index, value, role);
}

bool RepositoryStore::select()
{
    bool done = QSqlTableModel::select();
    while (done && canFetchMore()) {
        fetchMore();
        done = !lastError().isValid();
    }
    if (!done && isLock(lastError()))
        setLastError(refusal(lockedText(database())));
    return done;
}

bool RepositoryStore::insertRowIntoTable(const QSqlRecord &values)
{
    m_keepEntry = false;
    QSqlRecord row = values;
    if (!checkName(row, true))
        return false;
    if (QSqlTableModel::insertRowIntoTable(row))
        return true;
    explainFailure(row);
    return false;
}

bool RepositoryStore::updateRowInTable(int row, const QSqlRecord &values)
{
    m_keepEntry = false;
    QSqlRecord changed = values;
    if (!checkName(changed, false))
        return false;
    if (QSqlTableModel::updateRowInTable(row, changed))
        return true;
    explainFailure(changed);
    return false;
}

// The name must be given (on insert, or when an update changes it); names
// longer than the field are cut to it.
bool RepositoryStore::checkName(QSqlRecord &values, bool required)
{
    const int index = values.indexOf(nameField());
    if (index < 0 || (!required && !values.isGenerated(index)))
        return true;
    const QString name = values.value(index).toString();
    if (name.isEmpty()) {
        setLastError(refusal(QStringLiteral("Field '%1' must have a value").arg(nameField())));
        return false;
    }
    values.setValue(index, name.left(NameLength));
    values.setGenerated(index, true);
    return true;
}

// A write that failed because the name is taken says so by name. Any other
// failure is no fault of the entry's: it is kept for another try.
void RepositoryStore::explainFailure(const QSqlRecord &values)
{
    const int index = values.indexOf(nameField());
    if (index >= 0 && values.isGenerated(index)) {
        const QString name = values.value(index).toString();
        QSqlQuery query(database());
        query.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"%2\" = ?")
                          .arg(table(), nameField()));
        query.addBindValue(name);
        if (query.exec() && query.next() && query.value(0).toInt() > 0) {
            setLastError(refusal(
                QStringLiteral("Key violation: an entry named '%1' already exists").arg(name)));
            return;
        }
    }
    const QString reason =
        isLock(lastError()) ? lockedText(database()) : SqlErrorText(lastError());
    setLastError(refusal(reason + QStringLiteral("; the entry was not stored and stays in "
                                                 "the window to be posted again")));
    m_keepEntry = true;
}
