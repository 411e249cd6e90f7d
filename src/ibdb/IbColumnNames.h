#pragma once

#include <ibase.h>

#include <QByteArray>
#include <QString>

#include <vector>

// The whole names of a prepared statement's result columns. An XSQLVAR
// holds 31 bytes of a name, and Firebird 4's names run to 63 characters
// of up to four bytes each; the statement's info items carry them whole.
class IbColumnNames
{
public:
    struct Names
    {
        QString field;
        QString relation;
        QString alias;
    };

    // One entry per column, in order; a failed call throws IbError.
    static std::vector<Names> read(isc_stmt_handle statement, int count);
    // True when a name of the variable may have been cut to fit it.
    static bool mayBeCut(const XSQLVAR &var);

    // Takes one answer to the items from column `first` (1-based) on; gives
    // the column to ask from next, or 0 when the answer held the last one.
    int take(const char *answer, int size, int first);
    std::vector<Names> names;

private:
    static QByteArray request(int first);
};
