#include "grid/RecordChanges.h"

#include <set>

namespace brisden::grid {

ChangeRecorder::ChangeRecorder(InvestmentFile& file, const std::vector<std::int32_t>& records)
    : m_file(file), m_count(RecordCount(file.files(), InvestmentSlot))
{
    read(1, m_before);
    for (std::int32_t n : records)
        read(n, m_before);
    readChain(m_before);
}

void ChangeRecorder::read(std::int32_t n, std::map<std::int32_t, std::optional<RecordBytes>>& into)
{
    if (n < 1 || into.count(n))
        return;
    RecordBytes bytes{};
    if (n <= RecordCount(m_file.files(), InvestmentSlot) &&
        m_file.files().readAt(InvestmentSlot, std::int64_t(n - 1) * RecordLength, bytes.data(),
                              RecordLength))
        into[n] = bytes;
    else
        into[n] = std::nullopt;
}

void ChangeRecorder::readChain(std::map<std::int32_t, std::optional<RecordBytes>>& into)
{
    // Every link of the chain from the header, as far as it goes sensibly.
    const std::int32_t count = RecordCount(m_file.files(), InvestmentSlot);
    std::set<std::int32_t> seen;
    read(1, into);
    std::optional<RecordBytes> at = into[1];
    while (at) {
        const std::int32_t link = RecordLinkField(at->data());
        if (link < 2 || link > count || !seen.insert(link).second)
            break;
        read(link, into);
        at = into[link];
        if (at && RecordVersionField(at->data()) != 0)
            break;
    }
}

FileChange ChangeRecorder::finish()
{
    FileChange change;
    change.countBefore = m_count;
    change.countAfter = RecordCount(m_file.files(), InvestmentSlot);
    std::map<std::int32_t, std::optional<RecordBytes>> after;
    for (const auto& [n, bytes] : m_before)
        read(n, after);
    for (std::int32_t n = m_count + 1; n <= change.countAfter; ++n)
        read(n, after);
    readChain(after);
    for (const auto& [n, now] : after) {
        auto it = m_before.find(n);
        std::optional<RecordBytes> was = it != m_before.end() ? it->second : std::nullopt;
        if (it == m_before.end() && n <= m_count) {
            // A record the change reached that was not read before: only the
            // chain's new members, which the change wrote themselves.
            continue;
        }
        if (was != now)
            change.records.push_back({n, was, now});
    }
    return change;
}

namespace {

bool Restore(InvestmentFile& file, std::int32_t count, const FileChange& change, bool before)
{
    std::vector<std::pair<std::int32_t, RecordBytes>> records;
    for (const RecordChange& c : change.records) {
        const std::optional<RecordBytes>& bytes = before ? c.before : c.after;
        if (bytes && c.n <= count)
            records.emplace_back(c.n, *bytes);
    }
    return file.RestoreRecords(count, records);
}

}  // namespace

bool UndoFileChange(InvestmentFile& file, const FileChange& change)
{
    return Restore(file, change.countBefore, change, true);
}

bool RedoFileChange(InvestmentFile& file, const FileChange& change)
{
    return Restore(file, change.countAfter, change, false);
}

}  // namespace brisden::grid
