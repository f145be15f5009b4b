#include "import/ImportPreview.h"

#include "data/Dates.h"
#include "data/FileTable.h"

#include <algorithm>
#include <cmath>

namespace brisden {

namespace {

// Amounts typed in the grid and amounts read from a line go through different
// conversions; values this close are the same number of cents or shares.
bool SameValue(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

}  // namespace

QString ImportLineText(QByteArray bytes, bool firstLine)
{
    if (firstLine && bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromLatin1(bytes);
}

DuplicateFinder DuplicateFinder::FromLedger(FileTable& files, int slot)
{
    DuplicateFinder finder;
    const std::int32_t count = RecordCount(files, slot);
    constexpr std::int32_t Block = 2048;
    std::vector<char> buffer(std::size_t(Block) * RecordLength);
    TransactionRecord record;
    // Record 1 is the header.
    for (std::int32_t first = 2; first <= count; first += Block) {
        const std::int32_t n = std::min(Block, count - first + 1);
        if (!files.readAt(slot, std::int64_t(first - 1) * RecordLength, buffer.data(),
                          std::int64_t(n) * RecordLength))
            break;
        for (std::int32_t i = 0; i < n; ++i) {
            const char* bytes = buffer.data() + std::size_t(i) * RecordLength;
            if (RecordVersionField(bytes) == 0)
                continue;  // free
            DecodeRecordInto(bytes, record);
            finder.add(record);
        }
    }
    return finder;
}

void DuplicateFinder::add(const TransactionRecord& r)
{
    m_byDate[r.TransDate].push_back(Entry{r.Amount, r.SharePrice, r.Shares, false});
    ++m_count;
}

bool DuplicateFinder::claim(const TransactionRecord& r)
{
    const auto it = m_byDate.find(r.TransDate);
    if (it == m_byDate.end())
        return false;
    for (Entry& e : it->second) {
        if (!e.claimed && SameValue(e.amount, r.Amount) && SameValue(e.price, r.SharePrice) &&
            SameValue(e.shares, r.Shares)) {
            e.claimed = true;
            return true;
        }
    }
    return false;
}

bool ImportSelection::imports(std::int32_t lineNumber, bool duplicate) const
{
    const auto it = lineChoice.find(lineNumber);
    if (it != lineChoice.end())
        return it->second;
    return !(duplicate && leaveOutDuplicates);
}

bool ImportSelection::needsDuplicates() const
{
    return leaveOutDuplicates;
}

ImportPreview PreviewImport(const QString& path, const ImportSchema& schema,
                            const Calendar& calendar, DuplicateFinder duplicates, int maxLines,
                            bool completeRecords)
{
    ImportPreview preview;
    FileTable files;
    files.OpenFile(ShortSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    if (!files.isOpen(ShortSlot)) {
        preview.error = ErrorText(-files.fileNumber(ShortSlot));
        return preview;
    }
    const ImportLineParser parser(schema, calendar, completeRecords);
    std::int32_t lineNumber = 0;
    bool firstLine = true;
    bool more = false;
    while (!files.atEnd(ShortSlot)) {
        const QString text = ImportLineText(files.readLine(ShortSlot), firstLine);
        firstLine = false;
        if (text.isEmpty())
            continue;
        if (int(preview.lines.size()) >= maxLines) {
            more = true;
            break;
        }
        PreviewLine line;
        line.lineNumber = ++lineNumber;
        line.text = text;
        line.result = parser.parse(text, lineNumber);
        if (line.refused())
            ++preview.refusedCount;
        else
            line.duplicate = duplicates.claim(line.result.record);
        preview.invalidDateCount += line.result.invalidDate && !line.refused() ? 1 : 0;
        preview.duplicateCount += line.duplicate ? 1 : 0;
        preview.lines.push_back(std::move(line));
    }
    preview.wholeFile = !more;
    files.CloseFile(ShortSlot);
    return preview;
}

QString PreviewDateText(const ImportLineResult& result)
{
    if (result.invalidDate)
        return QString::number(result.record.TransDate);
    if (result.record.TransDate == 0)
        return QString();
    return FormatDateDashes(SwapDateOrder(result.record.TransDate)).trimmed();
}

}  // namespace brisden
