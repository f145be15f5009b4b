#include "GeneratedLedger.h"

#include <QDataStream>
#include <QDate>
#include <QFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

namespace brisden::test {

namespace {

// Python's Mersenne Twister as its seed() leaves it: init_by_array with the
// single word of a seed below 2^32.
std::mt19937 PythonSeeded(std::uint32_t seed)
{
    constexpr std::size_t n = 624;
    std::array<std::uint32_t, n> mt{19650218u};
    for (std::uint32_t i = 1; i < n; ++i)
        mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + i;
    std::size_t i = 1;
    const auto next = [&] {
        if (++i >= n) {
            mt[0] = mt[n - 1];
            i = 1;
        }
    };
    for (std::size_t k = n; k > 0; --k, next())
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + seed;
    for (std::size_t k = n - 1; k > 0; --k, next())
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - std::uint32_t(i);
    mt[0] = 0x80000000u;
    // The engine reads its whole state as text, and twists before its next number.
    std::stringstream state;
    for (const std::uint32_t word : mt)
        state << word << ' ';
    std::mt19937 engine;
    state >> engine;
    return engine;
}

// The random numbers of the script: Python's generator, its floats of 53
// bits, its integers by rejection and its Gaussian pairs.
class PythonRandom {
public:
    explicit PythonRandom(std::uint32_t seed) : m_mt(PythonSeeded(seed)) {}

    double random()
    {
        const std::uint32_t a = m_mt() >> 5;
        const std::uint32_t b = m_mt() >> 6;
        return (double(a) * 67108864.0 + double(b)) * (1.0 / 9007199254740992.0);
    }

    // a <= result <= b, for ranges below 2^32.
    std::int64_t randint(std::int64_t a, std::int64_t b)
    {
        const std::uint64_t width = std::uint64_t(b - a + 1);
        int bits = 0;
        while ((width >> bits) != 0)
            ++bits;
        std::uint64_t r = 0;
        do {
            r = std::uint32_t(m_mt()) >> (32 - bits);
        } while (r >= width);
        return a + std::int64_t(r);
    }

    double gauss(double mu, double sigma)
    {
        if (m_haveNext) {
            m_haveNext = false;
            return mu + m_next * sigma;
        }
        const double x2pi = random() * 6.283185307179586;  // Python's 2 * pi
        const double g2rad = std::sqrt(-2.0 * std::log(1.0 - random()));
        m_next = std::sin(x2pi) * g2rad;
        m_haveNext = true;
        return mu + std::cos(x2pi) * g2rad * sigma;
    }

private:
    std::mt19937 m_mt;
    bool m_haveNext = false;
    double m_next = 0;
};

QDataStream& LittleEndian(QDataStream& out)
{
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    return out;
}

constexpr std::int16_t kVersion = 6;

}  // namespace

QByteArray GenerateLedger(const GeneratorOptions& options)
{
    const int n = options.records;
    PythonRandom rnd(options.seed);
    const int perDay =
        options.perDay > 0 ? options.perDay : std::max(1, int(std::nearbyint(n / 20000.0)));
    const QDate day0(1970, 1, 2);
    double target = std::log(10.0);
    double lp = target;
    std::int64_t held = 0;  // thousandths of a share
    const int split1 = n / 3;
    const int split2 = (2 * n) / 3;

    std::vector<QByteArray> records;
    records.reserve(std::size_t(n));
    int seq = 0;
    QDate previous;
    for (int i = 0; i < n; ++i) {
        const QDate d = day0.addDays(i / perDay);
        seq = d == previous ? seq + 1 : 1;
        previous = d;
        const double drift = 0.002 * (target + 0.05 * (i / perDay) / 365.25 - lp);
        lp += drift + rnd.gauss(0, 0.01);
        std::int64_t cents =
            std::max<std::int64_t>(100, std::int64_t(std::nearbyint(100 * std::exp(lp))));
        enum Kind { Buy, Reinvest, Sell, Price, Split } kind;
        if ((i == split1 || i == split2) && held > 0) {
            kind = Split;
        } else {
            const double r = rnd.random();
            kind = r < 0.35 ? Buy : r < 0.50 ? Reinvest : r < 0.75 ? Sell : Price;
            if (kind == Sell && held == 0)
                kind = Buy;
        }
        static const char* const names[] = {"Buy", "Reinvest", "Sell", "Price", "Split"};
        double amount = 0;
        double shares = 0;
        if (kind == Buy || kind == Reinvest || kind == Sell) {
            std::int64_t q = kind == Buy        ? rnd.randint(5000, 100000)
                             : kind == Reinvest ? rnd.randint(500, 5000)
                                                : -std::min(held, rnd.randint(5000, 150000));
            held += q;
            amount = double(q * cents) / 100000;
            shares = double(std::abs(q)) / 1000;
        } else if (kind == Split) {
            target -= std::log(2.0);
            lp -= std::log(2.0);
            cents = std::max<std::int64_t>(100, cents / 2);
            held *= 2;
            shares = double(held) / 1000;
        }
        const char* name = names[kind];
        QByteArray record;
        QDataStream out(&record, QIODevice::WriteOnly);
        LittleEndian(out) << kVersion << std::int32_t(d.year() * 10000 + d.month() * 100 + d.day())
                          << std::int16_t(seq);
        out.writeRawData(QByteArray(name).leftJustified(9, ' ').constData(), 9);
        out << amount << double(cents) / 100 << shares;
        records.push_back(record);
    }
    // Some records are stored out of date order (entered late).
    for (int i = 0; i < int(records.size()); ++i) {
        if (rnd.random() < 0.05) {
            const int j = std::max<int>(0, i - int(rnd.randint(1, 200)));
            std::swap(records[std::size_t(i)], records[std::size_t(j)]);
        }
    }

    QByteArray bytes;  // the header record: the version, -1 and zeros
    QDataStream out(&bytes, QIODevice::WriteOnly);
    LittleEndian(out) << kVersion << std::int32_t(-1);
    bytes.append(35, '\0');
    for (const QByteArray& record : records)
        bytes.append(record);
    return bytes;
}

QString WriteGeneratedLedger(const QString& path, const GeneratorOptions& options)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    const QByteArray bytes = GenerateLedger(options);
    if (out.write(bytes) != bytes.size())
        return QString();
    return path;
}

}  // namespace brisden::test
