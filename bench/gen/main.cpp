// quorvel_benchgen [--tiny] [--many] <database path>
// --many: the explorer's schema of a hundred thousand domains instead.
// Writes the benchmark schema into a new database. The file appears under
// its name only once complete, so an interrupted run is never reused.
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
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tiny") == 0)
            tiny = true;
        else if (std::strcmp(argv[i], "--many") == 0)
            many = true;
        else
            path = argv[i];
    }
    if (path.empty()) {
        std::fprintf(stderr, "usage: quorvel_benchgen [--tiny] [--many] <database path>\n");
        return 2;
    }
    const std::string partial = path + ".partial";
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
        if (std::rename(partial.c_str(), path.c_str()) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    } catch (const IscError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}
