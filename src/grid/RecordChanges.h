#pragma once
// What a change did to the current investment file, record by record, so
// that it can be taken back and made again byte for byte: the records it may
// touch (the header, the records it writes, the chain of deleted records)
// are read before the change and compared after it.

#include "data/InvestmentFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace brisden::grid {

struct RecordChange {
    std::int32_t n = 0;
    std::optional<RecordBytes> before;  // empty: beyond the end before the change
    std::optional<RecordBytes> after;   // empty: beyond the end after it
};

struct FileChange {
    std::int32_t countBefore = 0;  // whole records, header included
    std::int32_t countAfter = 0;
    std::vector<RecordChange> records;

    bool empty() const { return records.empty() && countBefore == countAfter; }
};

class ChangeRecorder {
public:
    // Reads the records a change of the given records may touch.
    ChangeRecorder(InvestmentFile& file, const std::vector<std::int32_t>& records);
    // The difference between the file now and as it was read.
    FileChange finish();

private:
    void read(std::int32_t n, std::map<std::int32_t, std::optional<RecordBytes>>& into);
    void readChain(std::map<std::int32_t, std::optional<RecordBytes>>& into);

    InvestmentFile& m_file;
    std::int32_t m_count = 0;
    std::map<std::int32_t, std::optional<RecordBytes>> m_before;
};

// Puts the file back as it was before the change (undo) or as it was after
// it (redo).
bool UndoFileChange(InvestmentFile& file, const FileChange& change);
bool RedoFileChange(InvestmentFile& file, const FileChange& change);

}  // namespace brisden::grid
