// brisden-cli dump and rebuild: the records of an investment file as CSV
// lines, and the rebuild that drops its deleted records.

#include "cli/CliCommon.h"

#include "data/Backup.h"
#include "data/InvestmentFile.h"
#include "data/NumberText.h"

#include <QTextStream>

namespace brisden::cli {

namespace {

// The single FILE.dat argument of a command; empty after a usage message.
QString TakeFileArgument(const QString& command, const QStringList& args)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        Fail(QStringLiteral("%1 needs exactly one investment file").arg(command));
        return QString();
    }
    return args.first();
}

// Messages of the rebuild: the closing counts are the command's result on
// stdout; anything else is a failure on stderr.
class RebuildMessages final : public ui::IMessageBox {
public:
    QStringList shown;
    void show(const QString& text, ui::Icon) override { shown << text; }
    bool askYesNo(const QString&, bool defaultNo) override { return !defaultNo; }
    bool askOkCancel(const QString&) override { return true; }
    void beep() override {}
};

}  // namespace

int RunDump(const QStringList& args)
{
    const QString path = TakeFileArgument(QStringLiteral("dump"), args);
    if (path.isEmpty())
        return 2;
    CliContext context;
    InvestmentFile file(context.files);
    // Read only: a file that another program has open is dumped all the same.
    if (!OpenInvestmentFile(file, path, QString(), context.messages, FileAccess::View))
        return 1;
    file.BuildRecordIndex();

    QTextStream out(stdout);
    for (std::size_t i = 1; i < file.RecordIndex.size(); ++i) {
        const RecordIndexEntry& entry = file.RecordIndex[i];
        if (entry.RecNo == 0)
            break;
        if (!file.ReadRecord(entry.RecNo)) {
            Fail(QStringLiteral("cannot read record %1 of \"%2\"").arg(entry.RecNo).arg(path));
            return 1;
        }
        const TransactionRecord& r = file.RecordBuffer;
        QByteArray line = QByteArray::number(entry.RecNo) + ',' + QByteArray::number(r.TransDate) +
                          ',' + QByteArray::number(r.Seq) + ",\"" + r.Desc + "\"," +
                          PlainNumber(r.Amount) + ',' + PlainNumber(r.SharePrice) + ',' +
                          PlainNumber(r.Shares);
        out << QString::fromLatin1(line) << '\n';
    }
    file.close();
    return 0;
}

int RunRebuild(const QStringList& args)
{
    const QString path = TakeFileArgument(QStringLiteral("rebuild"), args);
    if (path.isEmpty())
        return 2;
    CliContext context;
    // Only an investment file of this program that can be written is rebuilt.
    InvestmentFile probe(context.files);
    if (!OpenInvestmentFile(probe, path, QString(), context.messages, FileAccess::Write))
        return 1;
    probe.close();

    context.log.LogSession(QStringLiteral("Rebuilding file ") + path);
    RebuildMessages messages;
    const RebuildResult result =
        RebuildFile(context.files, ShortSlot, path, RecordLength, messages);
    context.files.CloseFile(ShortSlot);
    if (result.error) {
        Fail(QStringLiteral("Error: ") + ErrorText(result.error));
        return 1;
    }
    if (!result.rebuilt) {
        for (const QString& text : messages.shown)
            Fail(text);
        return 1;
    }
    QTextStream(stdout) << "Records read: " << result.recordsRead
                        << ", Records written: " << result.recordsWritten << '\n';
    context.log.LogSession(QStringLiteral("File has been rebuilt"));
    return 0;
}

}  // namespace brisden::cli
