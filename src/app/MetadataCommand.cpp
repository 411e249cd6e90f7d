#include "app/MetadataCommand.h"

#include "app/CommandLineOptions.h"
#include "app/CommandOutput.h"
#include "app/ServiceCommand.h"
#include "core/AppError.h"
#include "core/OutputFile.h"
#include "ibdb/IbDriver.h"
#include "ibdb/TIBDataBase.h"
#include "schema/CatalogFingerprint.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "schema/ScratchDatabase.h"
#include "schema/ScriptDifferences.h"
#include "schema/ScriptReplay.h"
#include "schema/ScriptStatements.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>
#include <cstdio>

namespace {

const char *const kModes[] = {"--extract",  "--verify", "--backup", "--restore",
                              "--validate", "--help",   "-h"};

bool isMode(const QString &argument)
{
    return std::any_of(std::begin(kModes), std::end(kModes),
                       [&argument](const char *mode) { return argument == QLatin1String(mode); });
}

// Exit statuses: 0 done (or identical), 1 a failure or a difference, 2 a wrong command line.
constexpr int kFailed = 1;
constexpr int kUsage = 2;

QString user()
{
    return qEnvironmentVariable("ISC_USER");
}

QString password()
{
    return qEnvironmentVariable("ISC_PASSWORD");
}

bool writeOut(FILE *stream, const QString &text)
{
    return CommandOutput::write(stream, text);
}

void fail(const QString &message)
{
    CommandOutput::fail(message);
}

// A connection of its own under a name no window uses; gone with the object.
class Attachment
{
public:
    Attachment(const QString &database) : m_database(QUuid::createUuid().toString())
    {
        m_database.setParam(QStringLiteral("SERVER NAME"), database);
        m_database.setParam(QStringLiteral("USER NAME"), user());
        m_database.setParam(QStringLiteral("PASSWORD"), password());
        m_database.Open();
    }
    TIBDataBase &database() { return m_database; }

private:
    TIBDataBase m_database;
};

// A local file that is not there says so itself; the engine's text names
// the operating system's call.
void checkExists(const QString &database)
{
    if (!database.contains(QLatin1Char(':')) && !QFileInfo::exists(database))
        throw GeneralError(QStringLiteral("%1: no such file").arg(database));
}

// The file a database name reaches on this machine: a plain path, or the
// path part of a name that goes through a server on this machine.
QString localFileOf(const QString &database)
{
    static const QRegularExpression loopback(
        QStringLiteral("^(?:localhost|127(?:\\.\\d{1,3}){3}|\\[?::1\\]?)(?:/[^:]*)?:(.+)$"),
        QRegularExpression::CaseInsensitiveOption);
    if (!database.contains(QLatin1Char(':')))
        return database;
    const QRegularExpressionMatch match = loopback.match(database);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Writing the script over the database it was read from destroys the
// database: refused before anything is read.
void refuseOverwritingDatabase(const QString &database, const QString &outputFile)
{
    const QString local = localFileOf(database);
    if (!local.isEmpty() && OutputFile::sameFile(local, outputFile))
        throw GeneralError(
            QStringLiteral("cannot write %1: it is the database being read").arg(outputFile));
}

} // namespace

bool MetadataCommand::wanted(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    if (isMode(QString::fromLocal8Bit(argv[1])))
        return true;
    // Refused here, without a display: the windows would need one to say so.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return !CommandLineOptions::firstUnknown(arguments).isEmpty();
}

QString MetadataCommand::usage()
{
    return QStringLiteral(
        "Usage:\n"
        "  quorvel --extract DATABASE [-o FILE]  write the metadata script of DATABASE to\n"
        "                                        standard output, or whole to FILE\n"
        "  quorvel --verify DATABASE [--scratch FOLDER]\n"
        "                                        re-create DATABASE's metadata in a scratch\n"
        "                                        database on its server and compare; exit 0\n"
        "                                        when identical; FOLDER (on the server's\n"
        "                                        machine) instead of the database's own\n"
        "  quorvel --backup DATABASE FILE [--verify]\n"
        "                                        back DATABASE up to FILE on this machine;\n"
        "                                        --verify restores it into a scratch\n"
        "                                        database and compares; exit 0 when identical\n"
        "  quorvel --restore FILE DATABASE [--replace]\n"
        "                                        restore the backup FILE into a new DATABASE,\n"
        "                                        or over an existing one with --replace\n"
        "  quorvel --validate DATABASE [--mend]  the full validation of DATABASE, which\n"
        "                                        nobody may have attached; --mend marks\n"
        "                                        what is broken; exit 0 when no fault\n"
        "  quorvel --help                        show this text\n"
        "  quorvel [DATABASE]                    start the program's windows\n"
        "The user name and password come from ISC_USER and ISC_PASSWORD.\n");
}

int MetadataCommand::run(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    IbDriver::registerDriver();
    int status = MetadataCommand(application.arguments().mid(1)).exec();
    IbDriver::shutdownClient();
    return status;
}

int MetadataCommand::exec()
{
    const QString mode = m_arguments.value(0);
    if (!isMode(mode)) {
        fail(QStringLiteral("unknown option %1")
                 .arg(CommandLineOptions::firstUnknown(m_arguments)));
        writeOut(stderr, usage());
        return kUsage;
    }
    if (mode == QLatin1String("--help") || mode == QLatin1String("-h"))
        return writeOut(stdout, usage()) ? 0 : kFailed;
    if (ServiceCommand::handles(mode))
        return ServiceCommand(m_arguments).exec();
    const bool extracting = mode == QLatin1String("--extract");
    // The one option each mode takes: a file to write, a folder to verify in.
    const bool withOption = m_arguments.size() == 4
                            && m_arguments.at(2) == QLatin1String(extracting ? "-o" : "--scratch");
    if (m_arguments.size() != 2 && !withOption) {
        fail(QStringLiteral("wrong arguments; see quorvel --help"));
        return kUsage;
    }
    try {
        return extracting ? extract(m_arguments.at(1), m_arguments.value(3))
                          : verify(m_arguments.at(1), m_arguments.value(3));
    } catch (const AppError &error) {
        fail(error.message());
    } catch (const SilentAbort &) {
        fail(QStringLiteral("stopped"));
    }
    return kFailed;
}

QString MetadataCommand::scriptOf(const QString &database, const QString &sourceName)
{
    checkExists(database);
    Attachment attachment(database);
    const SchemaModel model = SchemaReader(attachment.database().connection()).read();
    return SchemaScript(model, sourceName).text();
}

MetadataCommand::Reading MetadataCommand::readingOf(const QString &database)
{
    checkExists(database);
    Attachment attachment(database);
    const QSqlDatabase connection = attachment.database().connection();
    return {SchemaScript(SchemaReader(connection).read()).text(),
            CatalogFingerprint(connection).lines()};
}

int MetadataCommand::extract(const QString &database, const QString &outputFile)
{
    if (!outputFile.isEmpty())
        refuseOverwritingDatabase(database, outputFile);
    const QString script = scriptOf(database, database);
    if (outputFile.isEmpty()) {
        if (!writeOut(stdout, script))
            throw GeneralError(QStringLiteral("cannot write to standard output"));
        return 0;
    }
    const QString error = OutputFile::write(outputFile, script.toUtf8());
    if (!error.isEmpty())
        throw GeneralError(QStringLiteral("cannot write %1: %2").arg(outputFile, error));
    return 0;
}

int MetadataCommand::verify(const QString &database, const QString &scratchFolder)
{
    const Reading original = readingOf(database);
    const ScriptStatements statements(original.script);
    const ScratchDatabase scratch(database, scratchFolder,
                                  statements.dialect() ? statements.dialect() : 3, user(),
                                  password());
    try {
        ScriptReplay(scratch.path(), user(), password(), statements.characterSet())
            .run(statements.statements(), statements.dialect() ? statements.dialect() : 3);
    } catch (const DatabaseError &error) {
        // The statement and each of the server's lines on a line of its own.
        writeOut(stderr, QStringLiteral("quorvel: ") + error.message() + QLatin1Char('\n'));
        return kFailed;
    }
    const Reading copy = readingOf(scratch.path());
    const QStringList differences = ScriptDifferences(original.script, copy.script)
                                    + LineDifferences(original.catalog, copy.catalog);
    const QString report = differences.isEmpty() ? QStringLiteral("identical\n")
                                                 : differences.join(QLatin1Char('\n'))
                                                       + QLatin1Char('\n');
    if (!writeOut(stdout, report))
        throw GeneralError(QStringLiteral("cannot write to standard output"));
    return differences.isEmpty() ? 0 : kFailed;
}
