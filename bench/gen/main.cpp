// quorvel_benchgen [--tiny] [--many] [--keep-partial] <database path>
// --many: the explorer's schema of a hundred thousand domains instead.
// Writes the benchmark schema into a new database. The file appears under
// its name only once complete, so an interrupted run is never reused.
// --keep-partial leaves it as <path>.partial for the caller to rename: a
// database on a server is a file this program cannot rename.
#include "IscError.h"
#include "IscSession.h"
#include "SchemaGenerator.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char *argv[])
{
    bool tiny = false;
    bool many = false;
    bool keepPartial = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tiny") == 0)
            tiny = true;
        else if (std::strcmp(argv[i], "--many") == 0)
            many = true;
        else if (std::strcmp(argv[i], "--keep-partial") == 0)
            keepPartial = true;
        else
            path = argv[i];
    }
    if (path.empty()) {
        std::fprintf(stderr,
                     "usage: quorvel_benchgen [--tiny] [--many] [--keep-partial] <database>\n");
        return 2;
    }
    const std::string partial = path + ".partial";
    if (!keepPartial)
        std::remove(partial.c_str());
    try {
        IscSession::create(partial, 8192);
        {
            IscSession session(partial);
            const SchemaSize size = many ? SchemaSize::manyObjects(tiny)
                                    : tiny ? SchemaSize::tiny()
                                           : SchemaSize::reference();
            SchemaGenerator generator(session, size);
            many ? generator.objectsOnly() : generator.run();
        }
        if (!keepPartial && std::rename(partial.c_str(), path.c_str()) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    } catch (const IscError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        if (!keepPartial)
            std::remove(partial.c_str());
        return 1;
    }
    return 0;
}
