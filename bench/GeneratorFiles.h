#pragma once
// Long realistic histories for the benchmarks, written by the generator kept
// beside them (gen_ledger.py: purchases, sales, reinvestments, price updates
// in whole cents, two 2-for-1 splits, 5 % of the records entered late).
// Each size is made once per run, in a folder that lasts as long as it.

#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

namespace brisden::bench {

// The investment file of `records` records (seed 1), and with csv the same
// history as an import source (MM/DD/YYYY dates); "" when python3 or the
// generator cannot run.
inline QString GeneratedLedger(int records, QString* csv = nullptr)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gen_%1.dat").arg(records));
    const QString csvPath = dir.filePath(QStringLiteral("gen_%1.csv").arg(records));
    if (!QFileInfo::exists(path) || !QFileInfo::exists(csvPath)) {
        const QString command =
            QStringLiteral("python3 '%1/gen_ledger.py' %2 '%3' --csv '%4' --seed 1")
                .arg(QStringLiteral(BRISDEN_BENCH_DIR))
                .arg(records)
                .arg(path, csvPath);
        if (std::system(command.toLocal8Bit().constData()) != 0)
            return QString();
    }
    if (csv)
        *csv = csvPath;
    return path;
}

}  // namespace brisden::bench
