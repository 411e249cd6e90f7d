#pragma once

#include "ibdb/TDMSys.h"
#include "support/TestDatabase.h"

#include <QByteArrayList>
#include <QStringList>

class TIBDataBase;

// A connected data module on a fresh database: what the windows expect to
// find at run time. Records the exact bytes of every statement executed.
// The connection finds the database's dialect itself, as at run time.
class TestSession
{
public:
    explicit TestSession(bool autoCommit = true, int dialect = 1);
    // The same on a fresh database on a server.
    TestSession(const TestDatabase::OnServer &server, int dialect);
    ~TestSession();

    TIBDataBase *ib() const { return dm.IBDataBase; }

    // Runs a rebuilt text, its lines joined as the windows join them, in the
    // tool's transaction and commits it: the server's refusal, or empty.
    QString refusal(const QStringList &lines) const;

private:
    void connect(bool autoCommit);

public:
    TestDatabase db;
    TDMSys dm;
    QByteArrayList sent;
};
