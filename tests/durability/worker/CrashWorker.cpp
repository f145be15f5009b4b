// The helper program of the durability tests. It works on real files until
// it is killed, and tells the test on stdout what it is doing:
//
//   crash_worker WORK FOLDER SEED   runs the steps of WORK (add, release,
//       import, rebuild, backup, restore) on FOLDER/Fund.dat: "R" once the
//       file is open, then "B k" before and "D k" after each step k.
//   crash_worker hold FILE          opens FILE as the current investment
//       file (locked against other writers), prints "R" and keeps it open
//       until stdin closes.
//   crash_worker churn FILE         rebuilds FILE over and over, as the
//       command line does, printing "R" first; a rebuild refused because
//       another process holds the file is simply tried again.
//
// Each line goes out with one write, so the test reads every line that was
// written before the kill.

#include "durability/CrashOps.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace brisden;
using namespace brisden::durability;

namespace {

void Say(const QByteArray& line)
{
    const QByteArray text = line + '\n';
    if (::write(STDOUT_FILENO, text.constData(), size_t(text.size())) != text.size())
        std::_Exit(4);
}

int Hold(const QString& path)
{
    FileTable files;
    InvestmentFile file(files);
    if (!file.open(path))
        return 1;
    Say("R");
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    file.close();
    return 0;
}

int Churn(const QString& path)
{
    FileTable files;
    YesMessages messages;
    Say("R");
    for (long i = 0; i < 1000000; ++i) {
        RebuildFile(files, ShortSlot, path, RecordLength, messages);
        files.CloseFile(ShortSlot);
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    const QString work = QString::fromLocal8Bit(argc > 1 ? argv[1] : "");
    const QString target = QString::fromLocal8Bit(argc > 2 ? argv[2] : "");
    if (argc == 3 && work == QLatin1String("hold"))
        return Hold(target);
    if (argc == 3 && work == QLatin1String("churn"))
        return Churn(target);
    const std::optional<Work> chosen = WorkFromName(work);
    if (!chosen || argc != 4) {
        std::fputs("usage: crash_worker WORK FOLDER SEED | hold FILE | churn FILE\n", stderr);
        return 2;
    }
    Sequence sequence(target, *chosen, std::uint32_t(std::strtoul(argv[3], nullptr, 10)));
    if (!sequence.open())
        return 1;
    Say("R");
    for (int k = 0; k < 1000000; ++k) {
        Say("B " + QByteArray::number(k));
        if (!sequence.step(k)) {
            Say("F " + QByteArray::number(k));
            return 3;
        }
        Say("D " + QByteArray::number(k));
    }
    return 0;
}
