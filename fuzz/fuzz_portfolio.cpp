// A portfolio definition file as the user's disk may hold it: loaded (sorted
// by path or by description, as the first byte says), searched, listed with
// every file it names (two real ledgers, A.dat and B.dat, sit in the
// folder), and saved and loaded again.
//
// Properties: the lists stay parallel and within the limit; every entry is
// found where it is; loading and listing leave the definition file as it
// was; a save loses nothing that the format can hold.

#include "FuzzSupport.h"

#include "analysis/Listing.h"
#include "data/Portfolio.h"
#include "analysis/ListingTextFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"

#include <QTime>
#include <algorithm>

using namespace brisden;
using namespace brisden::fuzz;

namespace {

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString def = WorkPath(QStringLiteral("Funds.def"));
    static const QString copy = WorkPath(QStringLiteral("Saved.def"));
    static const bool ledgers = [] {
        WriteBytes(WorkPath(QStringLiteral("A.dat")), SmallLedger(8, 1));
        WriteBytes(WorkPath(QStringLiteral("B.dat")), SmallLedger(5, 2));
        return true;
    }();
    (void)ledgers;
    if (size == 0)
        return 0;
    const InWorkFolder inWorkFolder;
    const bool sortByDesc = data[0] & 1;
    const QByteArray text = Bytes(data + 1, size - 1);
    WriteBytes(def, text);

    FileTable files;
    Portfolio portfolio(files);
    portfolio.CurrentPortfolio = def;
    FUZZ_CHECK(portfolio.LoadPortfolio(sortByDesc));
    const auto& paths = portfolio.PortfolioFiles;
    const auto& descriptions = portfolio.PortfolioDescriptions;
    FUZZ_CHECK(paths.size() == descriptions.size() && paths.size() >= 2);
    FUZZ_CHECK(int(paths.size()) - 1 <= Portfolio::MaxFiles);
    FUZZ_CHECK(portfolio.count() <= Portfolio::MaxFiles);
    for (std::size_t i = 1; i < paths.size(); ++i) {
        if (paths[i].isEmpty())
            continue;
        const int found = portfolio.FindPortfolioFile(paths[i]);
        FUZZ_CHECK(found == -3 ||
                   (found >= 1 && std::size_t(found) <= i &&
                    paths[size_t(found)].trimmed().toLower() == paths[i].trimmed().toLower()));
    }
    (void)portfolio.overflowMessage();

    // The listing of every file it names.
    {
        SessionLog log(files, QString());
        InvestmentFile file(files);
        ListToMemory(file, log, &portfolio);
        file.close();
    }
    FUZZ_CHECK(ReadBytes(def) == text);

    // Saved and loaded again: the same entries, as the format holds them.
    if (portfolio.count() == 0)
        return 0;
    portfolio.CurrentPortfolio = copy;
    FUZZ_CHECK(portfolio.SavePortfolio());
    Portfolio again(files);
    again.CurrentPortfolio = copy;
    FUZZ_CHECK(again.LoadPortfolio(sortByDesc));
    FUZZ_CHECK(again.overflowCount() == portfolio.overflowCount());
    FUZZ_CHECK(again.PortfolioFiles.size() == paths.size());
    // The same pairs; their order may differ where a text changed on its
    // way into the file (a double quote becomes a single one), which moves
    // it in the sort.
    std::vector<std::pair<QString, QString>> saved, loaded;
    for (std::size_t i = 1; i < paths.size(); ++i) {
        saved.emplace_back(Portfolio::StorableDescription(paths[i]),
                           Portfolio::StorableDescription(descriptions[i]));
        loaded.emplace_back(again.PortfolioFiles[i], again.PortfolioDescriptions[i]);
    }
    std::sort(saved.begin(), saved.end());
    std::sort(loaded.begin(), loaded.end());
    FUZZ_CHECK(saved == loaded);
    return 0;
}
