#include "ibdb/NewDatabase.h"

#include "core/AppError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/SqlLiteral.h"

#include <QRegularExpression>

QStringList NewDatabase::characterSets()
{
    return {QStringLiteral("NONE"),      QStringLiteral("UTF8"),      QStringLiteral("ASCII"),
            QStringLiteral("ISO8859_1"), QStringLiteral("ISO8859_2"), QStringLiteral("WIN1250"),
            QStringLiteral("WIN1251"),   QStringLiteral("WIN1252"),   QStringLiteral("DOS437"),
            QStringLiteral("DOS850"),    QStringLiteral("KOI8R"),     QStringLiteral("SJIS_0208")};
}

QString NewDatabase::statement() const
{
    // Literals in the dialect the statement is compiled in: dialect 1 has
    // no quoted names but takes single quotes as well.
    QString text = QStringLiteral("CREATE DATABASE %1").arg(SqlLiteral::string(path, 3));
    if (!user.isEmpty())
        text += QStringLiteral(" USER %1").arg(SqlLiteral::string(user, 3));
    if (!password.isEmpty())
        text += QStringLiteral(" PASSWORD %1").arg(SqlLiteral::string(password, 3));
    text += QStringLiteral(" PAGE_SIZE %1").arg(pageSize);
    if (characterSet != u"NONE")
        text += QStringLiteral(" DEFAULT CHARACTER SET %1").arg(characterSet);
    return text;
}

void NewDatabase::create() const
{
    if (path.trimmed().isEmpty())
        throw GeneralError(QStringLiteral("Name the new database's file"));
    if (!pageSizes().contains(pageSize))
        throw GeneralError(QStringLiteral("%1 is no page size of a database").arg(pageSize));
    if (dialect != 1 && dialect != 3)
        throw GeneralError(QStringLiteral("A database is of dialect 1 or 3, not %1").arg(dialect));
    // The name goes into the statement unquoted: only a name of letters,
    // digits and underscores is taken as it stands.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    if (!plainName.match(characterSet).hasMatch())
        throw GeneralError(QStringLiteral("%1 is no character set name").arg(characterSet));
    const QByteArray text = statement().toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment attachment;
    isc_tr_handle noTransaction = 0;
    isc_dsql_execute_immediate(status, attachment.ref(), &noTransaction, 0, text.constData(),
                               static_cast<unsigned short>(dialect), nullptr);
    if (IbStatus::failed(status))
        throw DatabaseError(IbStatus::text(status));
}
