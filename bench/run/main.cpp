// quorvel_bench <database path> [--repeats N] [--only <measure>[,<measure>...]]
// [--suffix <text>] (--only explorer: every explorer measure; --suffix names a run's measures
// apart, as for the explorer on a hundred thousand objects)
// Times every metadata window, the data view, the query result window and
// ExecuteStatement against the same statements on the bare client library,
// a burst of hand-offs to the server-call thread against calls made in place,
// the metadata script against isql-fb -x,
// and prints a table and one "bench ..." line per measure.
#include "BenchReport.h"
#include "BackupBench.h"
#include "ExtractBench.h"
#include "ScriptBench.h"
#include "controls/ApplicationLook.h"
#include "core/ProgramSettings.h"
#include "ibdb/IbDriver.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "IscError.h"
#include "ServerCallBench.h"
#include "WindowBench.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString takeOption(QStringList &arguments, const char *name, const char *fallback)
{
    const qsizetype at = arguments.indexOf(QLatin1String(name));
    if (at < 0 || at + 1 >= arguments.size())
        return QLatin1String(fallback);
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows measured look as the program's own do.
    ApplicationLook::apply();
    QStringList arguments = QApplication::arguments().mid(1);
    const int repeats = std::max(1, takeOption(arguments, "--repeats", "3").toInt());
    const QString only = takeOption(arguments, "--only", "");
    const QString suffix = takeOption(arguments, "--suffix", "");
    if (arguments.size() != 1) {
        std::fprintf(stderr,
                     "usage: quorvel_bench <database path> [--repeats N] [--only <measure>]"
                     " [--suffix <text>]\n");
        return 2;
    }
    IbDriver::registerDriver();
    // Nothing of the run reaches the user's settings, history or repository.
    const QTemporaryDir home;
    ProgramSettings::instance().AutoCommit = true;
    ProgramSettings::instance().RepositoryPath = home.path();
    TDMSys dataModule;
    dataModule.DMSysCreate();
    QList<BenchMeasure> measures;
    const QStringList asked = only.split(QLatin1Char(','), Qt::SkipEmptyParts);
    const auto wanted = [&asked](const char *measure) {
        return asked.isEmpty() || asked.contains(QLatin1String(measure));
    };
    if (wanted("server_call") || wanted("server_call_gap50us"))
        measures << ServerCallBench(repeats).measures();
    try {
        WindowBench bench(arguments.first(), repeats, only);
        measures << bench.run();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    // isql-fb needs the file to itself: the embedded engine of this process
    // must let go of it first.
    dataModule.IBDataBase->Close();
    try {
        if (wanted("extract"))
            measures << ExtractBench(arguments.first(), repeats).measure();
        if (wanted("backup"))
            measures << BackupBench(arguments.first(), repeats).measures();
        if (asked.isEmpty() || only.startsWith(QLatin1String("script")))
            measures << ScriptBench(arguments.first(), repeats, only).measures();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    for (BenchMeasure &measure : measures)
        measure.name += suffix;
    std::printf("\n%s\n", qPrintable(BenchReport::table(measures)));
    for (const BenchMeasure &measure : std::as_const(measures))
        std::printf("%s\n", qPrintable(BenchReport::line(measure)));
    return 0;
}
