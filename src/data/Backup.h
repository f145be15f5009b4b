#pragma once
// The backup copy of the current investment file (on request, automatically,
// and on opening), the restore from it, and the rebuild that drops freed
// records and resets the free chain, keeping the old file as the backup.

#include "ui/Interaction.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace brisden {

class FileTable;
class InvestmentFile;
namespace ui {
class IMessageBox;
}

// The backup of an investment file: its path up to and including the last
// "." of the file name, then "bak" (C:\Data\Fund.dat -> C:\Data\Fund.bak). A
// name without a dot gets ".bak" added.
QString BackupFileName(const QString& path);

// Copies source over destination through a temporary file in the
// destination's folder, so the destination is either the old file or the
// whole copy. The copy gets a new file's permissions, or with
// keepDestinationMode those of the file it replaces. 0, or the error number
// of the failure.
int CopyFileOver(const QString& source, const QString& destination,
                 bool keepDestinationMode = false);

struct RebuildResult {
    // 0, or the error number when the file could not be opened, copied to
    // its backup or written anew (the caller shows "Error: " and its text).
    int error = 0;
    bool rebuilt = false;
    std::int32_t recordsRead = 0;
    std::int32_t recordsWritten = 0;
};

// Compacts the investment file at path: it is copied to its backup file,
// then written anew from the backup with the header (FreeHead -1) and every
// record in use, in their old order. Opens path in slot for the existence
// test; shows "There is nothing in the file." for an empty file and the
// counts at the end. The slot is closed again in every case except a failed
// open, where it keeps the negative error number.
RebuildResult RebuildFile(FileTable& files, int slot, const QString& path, int recordLength,
                          ui::IMessageBox& messages);

// The file-maintenance commands of the main window on the current
// investment file. The window's automatic backup timer is stopped and
// restarted through the two hooks.
class Backup {
public:
    Backup(InvestmentFile& file, ui::ILogSink& log, ui::IMessageBox& messages);

    std::function<void()> stopAutoBackup;
    std::function<void()> startAutoBackup;

    bool busy() const { return m_busy; }

    // Copies the current file to its backup, asking first unless quiet.
    // True when the copy was made (and logged).
    bool SaveData(bool quiet);
    // Copies the backup over the current file after asking; reopens the
    // current file in slot 2 in every case. True when the file was restored.
    bool RestoreBackup();
    // Rebuilds path (the file the user picked), closing and reopening the
    // current file around it when it is the one rebuilt.
    RebuildResult RebuildInvestmentFile(const QString& path);

private:
    bool isCurrentFile(const QString& path) const;

    InvestmentFile& m_file;
    ui::ILogSink& m_log;
    ui::IMessageBox& m_messages;
    bool m_busy = false;
};

}  // namespace brisden
