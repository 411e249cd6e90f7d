#pragma once

#include <QSqlDatabase>
#include <QString>

class TestDatabase;

// A Qt SQL attachment of its own to a test database, under a name no other
// test uses, in the database's dialect; gone with the object.
class TestAttachment
{
public:
    explicit TestAttachment(const TestDatabase &db);
    ~TestAttachment();
    TestAttachment(const TestAttachment &) = delete;
    TestAttachment &operator=(const TestAttachment &) = delete;

    QString name() const { return m_name; }
    QSqlDatabase connection() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};
