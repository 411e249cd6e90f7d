#pragma once

#include <QString>
#include <QStringList>

// How a re-created database's script differs from the original's, one line
// per statement that only one of them holds (its first line): "- " for a
// statement of the original that the copy lacks, "+ " for one only the copy has.
// Empty when both hold the same statements.
QStringList ScriptDifferences(const QString &original, const QString &copy);

// The same for lines compared whole, e.g. two catalogues' CatalogFingerprint.
QStringList LineDifferences(const QStringList &original, const QStringList &copy);
