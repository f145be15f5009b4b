// The port of the history generator writes what the script writes.

#include "GeneratedLedger.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brisden::test {
namespace {

// Digests of the script's own output (python3 bench/gen_ledger.py N OUT --seed S).
TEST(GeneratedLedger, KnownHistoriesOfTheScript)
{
    const std::pair<GeneratorOptions, const char*> known[] = {
        {{1000, 1}, "d30d6aaa52f35049fa5f4adff519c16b6726d596680f5f9f6ac82b4b7c8041ec"},
        {{30000, 2}, "7af589664c295cfba4c49a397630763b333f977ed0e85e83033f29226cdf35cd"},
    };
    for (const auto& [options, sha256] : known) {
        const QByteArray bytes = GenerateLedger(options);
        EXPECT_EQ(bytes.size(), 41 * (options.records + 1));
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                  QByteArray(sha256))
            << options.records << " records, seed " << options.seed;
    }
}

// Against the script itself, where Python is installed.
TEST(GeneratedLedger, SameBytesAsTheScript)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    const QString script = QStringLiteral(BRISDEN_TESTDATA "/../../bench/gen_ledger.py");
    if (python.isEmpty() || !QFile::exists(script))
        GTEST_SKIP() << "python3 or the script is missing";
    QTemporaryDir dir;
    const GeneratorOptions runs[] = {{2, 5}, {1500, 3}, {50000, 4}};
    for (const GeneratorOptions& run : runs) {
        const QString out = dir.filePath(QStringLiteral("script.dat"));
        QProcess process;
        process.start(python, {script, QString::number(run.records), out, QStringLiteral("--seed"),
                               QString::number(run.seed)});
        ASSERT_TRUE(process.waitForFinished(120000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        QFile written(out);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(GenerateLedger(run) == written.readAll())
            << run.records << " records, seed " << run.seed;
    }
}

}  // namespace
}  // namespace brisden::test
