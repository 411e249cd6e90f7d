// Writes files the way the program does, over and over, until it is killed:
//   reliability_writer history <file>        the connection history at exit
//   reliability_writer repository <folder>   a new entry in the repository
// After each complete write it prints "written <generation>".
#include "app/ConnectionHistory.h"
#include "core/ProgramSettings.h"
#include "ibdb/IbDriver.h"
#include "ibdb/TDMSys.h"
#include "support/ReliabilityFiles.h"
#include "support/ScriptedPrompts.h"
#include "support/TestShell.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

const int kHistoryLines = 20000;
const int kEntryLines = 4000;

void written(int generation)
{
    std::printf("written %d\n", generation);
    std::fflush(stdout);
}

int writeHistory(const QString &file)
{
    for (int g = 1;; ++g) {
        ConnectionHistory::save(file, ReliabilityFiles::generation(g, kHistoryLines));
        written(g);
    }
}

int writeRepository(const QString &folder)
{
    ProgramSettings::instance().RepositoryPath = folder;
    TDMSys dm;
    dm.DMSysCreate();
    TestShell shell;
    ScriptedPrompts prompts;
    TObjRepos *form = TObjRepos::open();
    for (int g = 1;; ++g) {
        form->AddEntry(QStringLiteral("ENTRY_%1").arg(g),
                       ReliabilityFiles::generation(g, kEntryLines));
        written(g);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    IbDriver::registerDriver();
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("history"))
        return writeHistory(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("repository"))
        return writeRepository(args[2]);
    std::fprintf(stderr, "usage: reliability_writer history <file> | repository <folder>\n");
    return 2;
}
