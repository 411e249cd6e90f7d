#include "app/ServiceCommand.h"

#include "app/CommandOutput.h"
#include "core/AppError.h"
#include "ibdb/BackupJob.h"
#include "ibdb/DatabaseService.h"
#include "ibdb/RestoreJob.h"
#include "ibdb/ServiceMonitor.h"
#include "schema/BackupVerification.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

const QLatin1String kBackup("--backup");
const QLatin1String kRestore("--restore");
const QLatin1String kValidate("--validate");

QString user()
{
    return qEnvironmentVariable("ISC_USER");
}

QString password()
{
    return qEnvironmentVariable("ISC_PASSWORD");
}

} // namespace

bool ServiceCommand::handles(const QString &mode)
{
    return mode == kBackup || mode == kRestore || mode == kValidate;
}

int ServiceCommand::exec() const
{
    if (m_arguments.value(0) == kValidate)
        return guarded([this] { return validate(); });
    const bool backingUp = m_arguments.value(0) == kBackup;
    const QLatin1String extra(backingUp ? "--verify" : "--replace");
    const bool withExtra = m_arguments.size() == 4 && m_arguments.at(3) == extra;
    if (m_arguments.size() != 3 && !withExtra) {
        CommandOutput::fail(QStringLiteral("wrong arguments; see quorvel --help"));
        return kUsage;
    }
    return guarded([&] {
        return backingUp ? backup(m_arguments.at(1), m_arguments.at(2), withExtra)
                         : restore(m_arguments.at(1), m_arguments.at(2), withExtra);
    });
}

int ServiceCommand::guarded(const std::function<int()> &run)
{
    try {
        return run();
    } catch (const AppError &error) {
        CommandOutput::fail(error.message(), true);
    } catch (const SilentAbort &) {
        CommandOutput::fail(QStringLiteral("stopped"));
    }
    return kFailed;
}

// The service's report goes to standard output as it comes; a database it
// finds faults in ends as a failure whose text is the summary.
int ServiceCommand::validate() const
{
    const bool mend = m_arguments.size() == 3 && m_arguments.at(2) == QLatin1String("--mend");
    if (m_arguments.size() != 2 && !mend) {
        CommandOutput::fail(QStringLiteral("wrong arguments; see quorvel --help"));
        return kUsage;
    }
    ServiceMonitor monitor;
    monitor.line = [](const QString &line) {
        if (!CommandOutput::write(stdout, line + QLatin1Char('\n')))
            throw GeneralError(QStringLiteral("cannot write to standard output"));
    };
    DatabaseService(m_arguments.at(1), user(), password()).validateFull(mend, monitor);
    return 0;
}

int ServiceCommand::backup(const QString &database, const QString &file, bool verify) const
{
    BackupJob::Options options;
    options.database = database;
    options.file = file;
    BackupJob(options, user(), password()).run({});
    if (!verify)
        return 0;
    const QStringList differences =
        BackupVerification(database, user(), password()).run(file, false, {});
    const QString report = differences.isEmpty()
                               ? QStringLiteral("identical\n")
                               : differences.join(QLatin1Char('\n')) + QLatin1Char('\n');
    if (!CommandOutput::write(stdout, report))
        throw GeneralError(QStringLiteral("cannot write to standard output"));
    return differences.isEmpty() ? 0 : kFailed;
}

int ServiceCommand::restore(const QString &file, const QString &database, bool replace) const
{
    RestoreJob::Options options;
    options.file = file;
    options.database = database;
    options.replace = replace;
    RestoreJob(options, user(), password()).run({});
    return 0;
}
