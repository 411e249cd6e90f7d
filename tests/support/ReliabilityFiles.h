#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Hostile files for the readers and writers of the program: what a disk,
// another program or an earlier crash may leave where a file is expected.
namespace ReliabilityFiles {

enum class Kind {
    Empty,         // zero bytes
    Binary,        // every byte value, no structure
    Huge,          // 100 MB of text lines
    NulBytes,      // text with NUL bytes inside and a zero-filled tail
    InvalidUtf8,   // Latin-1 bytes and cut UTF-8 sequences
    MixedLineEnds, // CR, LF and CR LF in one file
    Unreadable,    // the program may not read it
    UnwritableDir, // readable, in a folder the program may not write
};

QList<Kind> allKinds();
const char *name(Kind kind);

// The bytes of a content kind (not Unreadable/UnwritableDir, which use
// ordinary text). Valid lines of it are named "<prefix><n>".
QByteArray content(Kind kind, const QByteArray &prefix);

// Writes the file as the kind says, its folder included (created
// world-writable so another user may work in it).
void make(const QString &path, Kind kind, const QByteArray &text);

QByteArray readAll(const QString &path);

// The folder the tests keep their files in (QUORVEL_TEST_TMP, else the
// system's), made when missing.
QString tempRoot();

// The lines a crash-test writer stores at one generation: recognisable as a
// whole, so a reader can tell a complete old or new content from a torn one.
QStringList generation(int number, int lineCount);
// The generation whose lines these are, or -1 when they are not one whole.
int wholeGeneration(const QStringList &lines, int lineCount);

// While it lives, file access is checked as an ordinary user (nobody), even
// when the tests run as root: permission bits then mean what they say.
// Inactive, it changes nothing.
class AsOrdinaryUser
{
public:
    explicit AsOrdinaryUser(bool active = true);
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    bool m_active;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
};

// True for the kinds that need AsOrdinaryUser while the program runs.
bool needsOrdinaryUser(Kind kind);

} // namespace ReliabilityFiles
