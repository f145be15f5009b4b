#pragma once
// Long, realistic histories of one fund: a port of bench/gen_ledger.py, the
// generator the project's performance figures are measured on (a copy, left
// unchanged, of the script in the team's shared perf folder; read its header
// for what is in a history). For the same record count and seed the port
// writes the same bytes as the script, so tests and benchmarks need neither
// Python nor that folder.
//
// The script puts max(1, round(N / 20000)) records on a day; `perDay` (when
// not 0) sets that density instead, so that short histories for the tests
// still have several lots on one day.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace brisden::test {

struct GeneratorOptions {
    int records = 0;
    std::uint32_t seed = 1;
    int perDay = 0;  // 0: the script's density
};

// The investment file: a header record, then the records.
QByteArray GenerateLedger(const GeneratorOptions& options);

// Writes it; returns the path, or an empty text when it cannot be written.
QString WriteGeneratedLedger(const QString& path, const GeneratorOptions& options);

}  // namespace brisden::test
