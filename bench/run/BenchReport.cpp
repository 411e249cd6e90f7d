#include "BenchReport.h"

#include <QStringList>

namespace {

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString goalText(const BenchMeasure &m)
{
    // A goal that no ratio meets is a time the program may add, no more.
    QString text = m.goal >= 0.05 ? QStringLiteral("<=%1x").arg(number(m.goal, 1))
                   : m.goal > 0   ? QStringLiteral("+<=%1ms").arg(number(m.slackMs, 0))
                                  : QString();
    if (m.memoryGoalMb > 0)
        text += QStringLiteral(" +<=%1MB").arg(number(m.memoryGoalMb, 0));
    return text.isEmpty() ? QStringLiteral("-") : text.trimmed();
}

} // namespace

namespace BenchReport {

QString table(const QList<BenchMeasure> &measures)
{
    const QString format = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11\n");
    auto row = [&format](const QStringList &cells) {
        return format.arg(cells[0], -20).arg(cells[1], 9).arg(cells[2], 11).arg(cells[3], 11)
            .arg(cells[4], 7).arg(cells[5], -13).arg(cells[6], -6).arg(cells[7], 8)
            .arg(cells[8], 9).arg(cells[9], 8).arg(cells[10], 6);
    };
    QString text = row({QStringLiteral("measure"), QStringLiteral("rows"),
                        QStringLiteral("quorvel ms"), QStringLiteral("raw ms"),
                        QStringLiteral("ratio"), QStringLiteral("goal"), QStringLiteral("met"),
                        QStringLiteral("RSS MB"), QStringLiteral("added MB"),
                        QStringLiteral("data MB"), QStringLiteral("B/row")});
    text += QString(115, QLatin1Char('-')) + QLatin1Char('\n');
    for (const BenchMeasure &m : measures) {
        text += row({m.name, QString::number(m.rows), number(m.quorvelMs, 1),
                     number(m.rawMs, 1), number(m.ratio(), 2), goalText(m),
                     m.met() ? QStringLiteral("yes") : QStringLiteral("NO"),
                     number(m.rssMb, 1), number(m.addedMb, 1), number(m.dataMb, 1),
                     number(m.bytesPerRow(), 0)});
    }
    return text;
}

QString line(const BenchMeasure &m)
{
    return QStringLiteral("bench %1 ratio=%2 quorvel_ms=%3 raw_ms=%4 rss_mb=%5 added_mb=%6 "
                          "data_mb=%7 bytes_per_row=%8")
        .arg(m.name, number(m.ratio(), 2), number(m.quorvelMs, 1), number(m.rawMs, 1),
             number(m.rssMb, 1), number(m.addedMb, 1), number(m.dataMb, 1),
             number(m.bytesPerRow(), 0));
}

} // namespace BenchReport
