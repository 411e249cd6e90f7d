#include "support/IsqlScript.h"

#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

QString IsqlScript::employeeSample()
{
    return QStringLiteral("/usr/share/doc/firebird3.0-examples/examples/employee.sql.gz");
}

QByteArray IsqlScript::unpacked(const QString &gzipFile)
{
    QProcess zcat;
    zcat.start(QStringLiteral("zcat"), {gzipFile});
    zcat.waitForFinished(30000);
    QString text = QString::fromUtf8(zcat.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("^create database '[^']*';$"),
                                   QRegularExpression::MultilineOption
                                       | QRegularExpression::CaseInsensitiveOption));
    return text.toUtf8();
}

namespace {

// Runs isql on the script; false when it could not even start or finish.
bool runIsql(const TestDatabase &db, const QByteArray &script, const QString &characterSet,
             QProcess &isql, QString &why)
{
    const QString file = db.folder() + QStringLiteral("/replay.sql");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(script) != script.size()) {
        why = QStringLiteral("cannot write ") + file;
        return false;
    }
    out.close();
    isql.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-user"),
                          QStringLiteral("SYSDBA"), QStringLiteral("-password"),
                          // The embedded engine takes any; a server checks it.
                          QStringLiteral("masterkey"), QStringLiteral("-i"), file, db.path()};
    if (!characterSet.isEmpty())
        arguments << QStringLiteral("-ch") << characterSet;
    isql.start(QStringLiteral("isql-fb"), arguments);
    if (!isql.waitForFinished(120000)) {
        why = QStringLiteral("isql-fb did not finish");
        return false;
    }
    return true;
}

} // namespace

QString IsqlScript::replay(const TestDatabase &db, const QByteArray &script,
                           const QString &characterSet)
{
    QProcess isql;
    QString why;
    if (!runIsql(db, script, characterSet, isql, why))
        return why;
    const QByteArray output = isql.readAll();
    const bool ran = isql.exitStatus() == QProcess::NormalExit && isql.exitCode() == 0
                     && !output.contains("Statement failed");
    return ran ? QString() : QString::fromUtf8(output.isEmpty() ? "isql-fb failed" : output);
}

QByteArray IsqlScript::output(const TestDatabase &db, const QByteArray &script)
{
    QProcess isql;
    QString why;
    if (!runIsql(db, script, QString(), isql, why))
        return why.toUtf8();
    return isql.readAll();
}
