// brisden-cli import FILE.dat SOURCE [--schema "F1 F2 F3 F4 F5 ORDER"]: the
// import engine on an investment file, with the schema from the option or
// from the ImportSchema setting.

#include "cli/CliCommon.h"

#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "import/ImportSchema.h"

#include <QFile>
#include <QFileInfo>

namespace brisden::cli {

int RunImport(const QStringList& args)
{
    QStringList positional;
    QString schemaText;
    bool haveSchema = false;
    bool asIs = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--schema")) {
            if (!TakeValue(args, i, &schemaText))
                return 2;
            haveSchema = true;
        } else if (arg == QLatin1String("--as-is")) {
            asIs = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            Fail(QStringLiteral("import: unknown option \"%1\"").arg(arg));
            return 2;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2) {
        Fail(QStringLiteral("import needs FILE.dat and SOURCE (try --help)"));
        return 2;
    }
    const QString datPath = positional.at(0);
    const QString sourcePath = positional.at(1);

    CliContext context;
    const ImportSchema schema =
        ImportSchema::FromSaved(haveSchema ? schemaText : context.settings.ImportSchema);

    // The source first: when it cannot be read nothing is touched.
    const bool readable =
        !QFileInfo(sourcePath).isDir() && OpenImportSource(context.files, sourcePath);
    context.files.CloseFile(ShortSlot);
    if (!readable) {
        Fail(CantAccessMessage(sourcePath));
        return 1;
    }

    // A missing file is created empty. Only one process can create it; one
    // that finds it made meanwhile by another uses it as it is.
    bool created = false;
    if (!QFileInfo::exists(datPath)) {
        QFile empty(datPath);
        if (empty.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            created = true;
        else if (!QFileInfo::exists(datPath)) {
            Fail(QStringLiteral("cannot create %1: %2").arg(datPath, empty.errorString()));
            return 1;
        }
    }
    InvestmentFile file(context.files);
    // The file this run created goes again when the run fails, but only
    // while it is still empty and locked by this run: a file that another
    // process holds is never taken from it.
    const auto dropCreated = [&] {
        if (created && file.isOpen() && context.files.length(InvestmentSlot) == 0)
            QFile::remove(datPath);
        file.close();
    };
    // Only a file that can be written: one the desktop program has open, or
    // without write permission, is refused with the reason and left as it is.
    if (!OpenInvestmentFile(file, datPath, QString(), context.messages, FileAccess::Write))
        return 1;
    bool usable = true;
    {
        // A file with a partial record or a damaged chain is left for a rebuild.
        FileTable& files = context.files;
        usable = files.length(InvestmentSlot) % RecordLength == 0 &&
                 CheckFreeChain(files, InvestmentSlot);
    }
    if (!usable) {
        dropCreated();
        Fail(datPath + QStringLiteral(" is not a valid investment file"));
        return 1;
    }

    if (!OpenImportSource(context.files, sourcePath)) {
        context.files.CloseFile(ShortSlot);
        dropCreated();
        Fail(CantAccessMessage(sourcePath));
        return 1;
    }
    ImportEngine engine(file, context.calendar, context.log);
    engine.ImportFromSource(schema, sourcePath, !asIs);
    engine.LogFinished();
    file.close();
    return engine.writeFailed ? 1 : 0;
}

}  // namespace brisden::cli
