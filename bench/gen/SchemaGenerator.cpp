#include "SchemaGenerator.h"

#include "IscSession.h"

#include <cstdio>

namespace {

constexpr int kBatch = 100;
// Columns of a generated table: the key, domain columns, a computed one.
constexpr int kDomainColumns = 18;

std::string numbered(const char *prefix, int number, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%0*d", prefix, digits, number);
    return text;
}

void progress(const char *what, int count)
{
    std::printf("  %-12s %d\n", what, count);
    std::fflush(stdout);
}

} // namespace

SchemaGenerator::SchemaGenerator(IscSession &session, const SchemaSize &size)
    : m_session(session), m_size(size)
{
}

std::string SchemaGenerator::tableName(int number)
{
    return numbered("T_", number, 4);
}

std::string SchemaGenerator::domainName(int number) const
{
    return numbered("D_", number, 5);
}

void SchemaGenerator::run()
{
    domains();
    exceptions();
    generators();
    tables();
    rows();
    views();
    triggers();
    procedures();
}

void SchemaGenerator::objectsOnly()
{
    domains();
}

void SchemaGenerator::batch(const std::string &statement)
{
    if (!m_transaction)
        m_transaction = m_session.defaults();
    m_session.executeImmediate(m_transaction, statement);
    if (++m_pending == kBatch)
        flush();
}

void SchemaGenerator::flush()
{
    if (m_transaction)
        m_session.commit(m_transaction);
    m_pending = 0;
}

// Mixed types, each with the clauses a real domain of that type carries.
std::string SchemaGenerator::domainType(int number) const
{
    switch (number % 8) {
    case 0: return "INTEGER DEFAULT 0 NOT NULL CHECK (VALUE >= 0)";
    case 1: return "SMALLINT DEFAULT 1 CHECK (VALUE BETWEEN -100 AND 100)";
    case 2: return "NUMERIC(15,2) DEFAULT 0 CHECK (VALUE > -1000000)";
    case 3: return "VARCHAR(40) DEFAULT 'none' CHECK (VALUE <> '')";
    case 4: return "CHAR(10) DEFAULT 'A' CHECK (VALUE IN ('A', 'B', 'C'))";
    case 5: return "DATE DEFAULT 'NOW'";
    case 6: return "DOUBLE PRECISION CHECK (VALUE IS NULL OR VALUE > -1E10)";
    default: return "BLOB SUB_TYPE 1 SEGMENT SIZE 80";
    }
}

void SchemaGenerator::domains()
{
    for (int i = 1; i <= m_size.domains; ++i)
        batch("CREATE DOMAIN " + domainName(i) + " AS " + domainType(i));
    flush();
    progress("domains", m_size.domains);
}

void SchemaGenerator::exceptions()
{
    for (int i = 1; i <= m_size.exceptions; ++i) {
        batch("CREATE EXCEPTION " + numbered("E_", i, 5) + " 'Benchmark rule "
              + std::to_string(i) + " was broken'");
    }
    flush();
    progress("exceptions", m_size.exceptions);
}

void SchemaGenerator::generators()
{
    for (int i = 1; i <= m_size.generators; ++i)
        batch("CREATE GENERATOR " + numbered("G_", i, 5));
    flush();
    for (int i = 1; i <= m_size.generators; ++i)
        batch("SET GENERATOR " + numbered("G_", i, 5) + " TO " + std::to_string(i * 7));
    flush();
    progress("generators", m_size.generators);
}

void SchemaGenerator::tables()
{
    for (int t = 1; t <= m_size.tables; ++t) {
        std::string text = "CREATE TABLE " + tableName(t) + " (ID INTEGER NOT NULL PRIMARY KEY";
        for (int c = 0; c < kDomainColumns; ++c) {
            const int domain = ((t - 1) * kDomainColumns + c) % m_size.domains + 1;
            text += ", " + numbered("C", c + 2, 2) + " " + domainName(domain);
        }
        text += ", C20 COMPUTED BY (ID * 2 + 1))";
        batch(text);
        // Fewer statements in flight: each table brings an index and a constraint.
        if (m_pending >= kBatch / 4)
            flush();
    }
    flush();
    progress("tables", m_size.tables);
}

// One block inserts every row: the engine's own loop is the fastest way in.
void SchemaGenerator::rows()
{
    m_session.executeCommitted(std::string("CREATE TABLE ") + rowsTable
                               + " (ID INTEGER NOT NULL, NAME VARCHAR(40), "
                                 "AMOUNT NUMERIC(15,2), CREATED DATE)");
    m_session.executeCommitted(
        std::string("EXECUTE BLOCK AS DECLARE VARIABLE I INTEGER; BEGIN I = 1; WHILE (I <= ")
        + std::to_string(m_size.rows) + ") DO BEGIN INSERT INTO " + rowsTable
        + " (ID, NAME, AMOUNT, CREATED) VALUES (:I, 'Row number ' || :I, "
          ":I * 1.25, CAST('2020-01-01' AS DATE) + MOD(:I, 3650)); I = I + 1; END END");
    m_session.executeCommitted(std::string("ALTER TABLE ") + rowsTable
                               + " ADD CONSTRAINT PK_BENCH_ROWS PRIMARY KEY (ID)");
    m_session.executeCommitted("CREATE TABLE BENCH_COUNTER (ID INTEGER NOT NULL PRIMARY KEY, "
                               "N INTEGER)");
    m_session.executeCommitted("INSERT INTO BENCH_COUNTER (ID, N) VALUES (1, 0)");
    progress("rows", int(m_size.rows));
}

void SchemaGenerator::views()
{
    for (int v = 1; v <= m_size.views; ++v) {
        const std::string other = tableName(v % (m_size.tables - 1) + 2);
        batch("CREATE VIEW " + numbered("V_", v, 4)
              + " (ID, FIRST_VALUE, SECOND_VALUE) AS SELECT A.ID, A.C03, B.C04 FROM "
              + tableName(1) + " A JOIN " + other + " B ON B.ID = A.ID");
    }
    flush();
    progress("views", m_size.views);
}

// Kinds 1-6: before/after insert, update, delete.
std::string SchemaGenerator::triggerText(int number) const
{
    static const char *const kinds[] = {"BEFORE INSERT", "AFTER INSERT", "BEFORE UPDATE",
                                        "AFTER UPDATE", "BEFORE DELETE", "AFTER DELETE"};
    const int kind = (number - 1) % 6;
    const std::string table = tableName((number - 1) / 6 % m_size.tables + 1);
    const std::string generator = numbered("G_", (number - 1) % m_size.generators + 1, 5);
    const std::string exception = numbered("E_", (number - 1) % m_size.exceptions + 1, 5);
    std::string body;
    switch (kind) {
    case 0: body = "  IF (NEW.ID IS NULL) THEN NEW.ID = GEN_ID(" + generator + ", 1);\n"; break;
    case 2: body = "  IF (NEW.ID <> OLD.ID) THEN EXCEPTION " + exception + ";\n"; break;
    case 4: body = "  IF (OLD.ID < 0) THEN EXCEPTION " + exception + ";\n"; break;
    default: body = "  N = GEN_ID(" + generator + ", 1);\n"; break;
    }
    return "CREATE TRIGGER " + numbered("TR_", number, 5) + " FOR " + table + " ACTIVE "
           + kinds[kind] + " POSITION " + std::to_string(number % 10)
           + " AS\nDECLARE VARIABLE N INTEGER;\nBEGIN\n  N = 0;\n" + body + "END";
}

void SchemaGenerator::triggers()
{
    for (int i = 1; i <= m_size.triggers; ++i)
        batch(triggerText(i));
    flush();
    progress("triggers", m_size.triggers);
}

// Eight inputs, four outputs, a thirty-line source reading the first table.
std::string SchemaGenerator::procedureText(int number) const
{
    const std::string generator = numbered("G_", (number - 1) % m_size.generators + 1, 5);
    const std::string exception = numbered("E_", (number - 1) % m_size.exceptions + 1, 5);
    std::string text = "CREATE PROCEDURE " + numbered("P_", number, 5)
                       + " (A1 INTEGER, A2 INTEGER, A3 VARCHAR(20), A4 NUMERIC(15,2), A5 DATE,"
                         " A6 SMALLINT, A7 DOUBLE PRECISION, A8 CHAR(10))\n"
                         "RETURNS (R1 INTEGER, R2 VARCHAR(40), R3 NUMERIC(15,2), R4 DATE)\nAS\n"
                         "DECLARE VARIABLE N INTEGER;\nDECLARE VARIABLE S VARCHAR(40);\nBEGIN\n"
                         "  N = 0;\n  S = A3;\n";
    for (int line = 0; line < 17; ++line) {
        text += "  N = N + A" + std::to_string(line % 2 + 1) + " + " + std::to_string(line)
                + ";\n";
    }
    text += "  SELECT COUNT(*) FROM " + tableName(1) + " WHERE ID = :A1 INTO :R1;\n"
            "  IF (R1 > 1000) THEN EXCEPTION " + exception + ";\n"
            "  R1 = R1 + N + GEN_ID(" + generator + ", 0);\n"
            "  R2 = S || A8;\n  R3 = A4 * A6 + A7;\n  R4 = A5;\n  SUSPEND;\nEND";
    return text;
}

void SchemaGenerator::procedures()
{
    for (int i = 1; i <= m_size.procedures; ++i)
        batch(procedureText(i));
    flush();
    progress("procedures", m_size.procedures);
}
