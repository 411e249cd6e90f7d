#include "ibdb/PlainName.h"

QString PlainName(QString name)
{
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name;
}
