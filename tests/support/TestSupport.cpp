#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QLocale>
#include <cstring>
#include <map>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace brisden::test {

bool FakeMessages::askYesNo(const QString& text, bool)
{
    questions << text;
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QStringList FakeMessages::texts() const
{
    QStringList list;
    for (const auto& s : shown)
        list << s.text;
    return list;
}

std::optional<QString> FakeInput::ask(const QString& prompt, const QString& title,
                                      const QString& defaultText)
{
    asked.push_back({prompt, title, defaultText});
    if (answers.empty())
        return defaultText;
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    return answer;
}

QString WriteLedger(const QString& path, const std::vector<Tx>& records)
{
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, 2);
    std::memcpy(bytes.data() + 2, &none, 4);
    std::map<std::int32_t, std::int16_t> nextSeq;
    for (const Tx& tx : records) {
        TransactionRecord r;
        r.Version = VersionMajor;
        r.TransDate = tx.date;
        r.Seq = nextSeq[tx.date]++;
        r.setDesc(QString::fromLatin1(tx.desc));
        r.Amount = tx.amount;
        r.SharePrice = tx.price;
        r.Shares = tx.shares;
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    WriteAll(path, bytes);
    return path;
}

QString WriteLedger(const QString& path, std::initializer_list<Tx> records)
{
    return WriteLedger(path, std::vector<Tx>(records));
}

std::vector<TransactionRecord> ReadRecords(const QString& path)
{
    const QByteArray bytes = ReadAll(path);
    std::vector<TransactionRecord> records;
    for (qsizetype at = RecordLength; at + RecordLength <= bytes.size(); at += RecordLength)
        records.push_back(DecodeRecord(bytes.constData() + at));
    return records;
}

QStringList RecordLines(const QString& path)
{
    const auto number = [](double d) {
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    };
    QStringList lines;
    for (const TransactionRecord& r : ReadRecords(path))
        lines << QStringLiteral("%1,%2,%3,%4,%5,%6")
                     .arg(r.TransDate)
                     .arg(r.Seq)
                     .arg(r.descText(), number(r.Amount), number(r.SharePrice), number(r.Shares));
    return lines;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(bytes);
}

QStringList TextLines(const QString& path)
{
    QString text = QString::fromLatin1(ReadAll(path));
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

std::optional<int> AsOrdinaryUser(const std::function<int()>& check)
{
    if (::geteuid() != 0)
        return check();
    constexpr uid_t Nobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(100);
        ::_exit(check());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    if (WEXITSTATUS(status) == 100)
        return std::nullopt;
    return WEXITSTATUS(status);
}

CliRun RunCli(const QString& folder, const QStringList& arguments)
{
#ifdef BRISDEN_CLI
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(BRISDEN_CLI), arguments);
    CliRun run;
    run.finished = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = run.finished ? process.exitCode() : -1;
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
#else
    (void)folder;
    (void)arguments;
    return CliRun{};
#endif
}

}  // namespace brisden::test
