#pragma once

#include <QString>

#include <functional>

// What a running service job tells whoever watches it (a job window, the
// command line), and how it learns that it is asked to stop. Any of the
// three may be left empty. They are called on the job's own thread.
struct ServiceMonitor
{
    std::function<void(const QString &line)> line;
    // Bytes of the backup received or sent so far, of total (0 when unknown).
    std::function<void(qint64 done, qint64 total)> bytes;
    std::function<bool()> stopRequested;

    void tell(const QString &text) const { if (line) line(text); }
    void count(qint64 done, qint64 total) const { if (bytes) bytes(done, total); }
    bool stopping() const { return stopRequested && stopRequested(); }
};
