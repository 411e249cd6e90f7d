#include "app/MetadataCommand.h"
#include "app/QuorvelApplication.h"

int main(int argc, char *argv[])
{
    if (MetadataCommand::wanted(argc, argv))
        return MetadataCommand::run(argc, argv);
    return QuorvelApplication::run(argc, argv);
}
