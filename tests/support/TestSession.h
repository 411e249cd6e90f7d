#pragma once

#include "TDMSys.h"
#include "TestDatabase.h"

#include <QByteArrayList>

class TIBDataBase;

// A connected data module on a fresh database: what the windows expect to
// find at run time. Records the exact bytes of every statement executed.
// On a dialect-3 database the connection's queries speak dialect 3.
class TestSession
{
public:
    explicit TestSession(bool autoCommit = true, int dialect = 1);
    ~TestSession();

    TIBDataBase *ib() const { return dm.IBDataBase; }

    TestDatabase db;
    TDMSys dm;
    QByteArrayList sent;
};
