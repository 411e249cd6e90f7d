#pragma once

#include "BenchMeasure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// Scripts run by the tool's Run Script File against isql-fb -i of the same
// file, each into an empty database of its own in the same run, each side
// the best of the repeats: ten thousand single-row INSERTs in one
// transaction, the reference schema's metadata script, and a 100 MB file
// of INSERTs, whose run must add little memory to the program.
class ScriptBench
{
public:
    ScriptBench(QString referencePath, int repeats, QString only);

    QList<BenchMeasure> measures();

private:
    BenchMeasure race(const QString &name, const QByteArray &script, int dialect);
    double ourRunMs(const QString &file, int dialect, double &peakAddedMb);
    double isqlRunMs(const QString &file, int dialect);
    QString freshDatabase(int dialect);
    QString writeScript(const QString &name, const QByteArray &script) const;
    QByteArray metadataScript(int &dialect) const;

    QString m_reference;
    int m_repeats;
    QString m_only;
    QTemporaryDir m_dir;
    int m_databases = 0;
};
