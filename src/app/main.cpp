#include "app/QuorvelApplication.h"

int main(int argc, char *argv[])
{
    return QuorvelApplication::run(argc, argv);
}
