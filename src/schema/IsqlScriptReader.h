#pragma once

#include "schema/ScriptCommand.h"

#include <QString>
#include <QStringDecoder>

#include <optional>

class QIODevice;

// Reads an isql script command by command, as Firebird's isql reads its
// input file: each command ends at the current terminator outside strings,
// quoted names and comments, SET TERM changes the terminator, and the last
// command needs none. A device is read as the commands are taken, a chunk at
// a time, so a file of any size costs only its longest command in memory.
class IsqlScriptReader
{
public:
    // The text is the whole script; the device (UTF-8, open for reading) is
    // read on demand and must outlive the reader.
    explicit IsqlScriptReader(const QString &text);
    explicit IsqlScriptReader(QIODevice *device);

    // The next command, or none at the end of the script.
    std::optional<ScriptCommand> next();

    QString terminator() const { return m_terminator; }
    void setTerminator(const QString &terminator) { m_terminator = terminator; }
    // How much of the device has been read so far.
    qint64 bytesRead() const { return m_bytesRead; }

private:
    bool fill();
    bool available(qsizetype offset);
    void skipBlanksAndComments();
    void skipLineComment();
    void skipBlockComment();
    void skipQuoted(QChar quote);
    bool skipAlternativeString();
    bool atTerminator();
    void advance();
    std::optional<ScriptCommand> take(QString text, int line, qint64 offset);

    QIODevice *m_device = nullptr;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QString m_buffer;
    // Where the command being read starts in the buffer; the buffer keeps
    // nothing before it.
    qsizetype m_start = 0;
    qsizetype m_pos = 0;
    int m_line = 1;
    // The characters let go of before the buffer's first.
    qint64 m_dropped = 0;
    // Blanks and comments between commands are let go of as they are read.
    bool m_leading = false;
    qint64 m_bytesRead = 0;
    QString m_terminator = QStringLiteral(";");
};
