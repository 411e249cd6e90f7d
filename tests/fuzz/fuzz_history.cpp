// The connection history file as another program or a crash may leave it.
#include "app/ConnectionHistory.h"
#include "core/AppError.h"
#include "FuzzInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

QString historyFile()
{
    static const QString file = QDir::temp().filePath(
        QStringLiteral("quorvel-fuzz-%1.hst").arg(QCoreApplication::applicationPid()));
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString file = historyFile();
    {
        QFile raw(file);
        fuzzCheck(raw.open(QIODevice::WriteOnly | QIODevice::Truncate));
        raw.write(input.bytes());
    }
    bool exists = false;
    const QStringList entries = ConnectionHistory::load(file, &exists);
    fuzzCheck(exists);
    const QString current = entries.value(int(size % 7));
    const QStringList reordered = ConnectionHistory::reorderedForExit(entries, current);
    fuzzCheck(reordered.size() == entries.size());
    // What is saved loads again as the same entries.
    ConnectionHistory::save(file, reordered);
    fuzzCheck(ConnectionHistory::load(file) == reordered);
    QFile::remove(file);
    return 0;
}
