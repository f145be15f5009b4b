#pragma once
// Shared helpers of the core tests: temporary folders, hand-built investment
// files, and answerable fakes of the screen interfaces.

#include "data/InvestmentFile.h"
#include "ui/Interaction.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>
#include <initializer_list>
#include <ostream>
#include <vector>

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace brisden::test {

// Every message shown, in order; Yes/No (and OK/Cancel) answers and input
// answers are taken from queues (default: No or Cancel, and the default text).
class FakeMessages final : public ui::IMessageBox {
public:
    struct Shown {
        QString text;
        ui::Icon icon;
    };
    std::vector<Shown> shown;
    QStringList questions;
    std::deque<bool> answers;
    int beeps = 0;

    void show(const QString& text, ui::Icon icon) override { shown.push_back({text, icon}); }
    bool askYesNo(const QString& text, bool defaultNo) override;
    // OK/Cancel questions share the list and the answer queue (true = OK).
    bool askOkCancel(const QString& text) override { return askYesNo(text, true); }
    void beep() override { ++beeps; }
    QStringList texts() const;
};

class FakeInput final : public ui::IInputBox {
public:
    struct Asked {
        QString prompt, title, defaultText;
    };
    std::vector<Asked> asked;
    std::deque<std::optional<QString>> answers;  // empty queue: the default text
    std::optional<QString> ask(const QString& prompt, const QString& title,
                               const QString& defaultText) override;
};

// Cancels after a given number of polls (never when negative).
class FakeCancel final : public ui::ICancelPoll {
public:
    explicit FakeCancel(int cancelAfter = -1) : m_after(cancelAfter) {}
    int polls = 0;
    bool pollCancel() override { return m_after >= 0 && ++polls > m_after; }

private:
    int m_after;
};

class FakeNotices final : public ui::INoticeDisplay {
public:
    QStringList notices;
    std::vector<bool> waited;  // per notice: shown until the user closes it
    void showNotice(const QString& message, bool wait, bool) override
    {
        notices << message;
        waited.push_back(wait);
    }
};

// One transaction for building files in tests.
struct Tx {
    std::int32_t date;
    const char* desc;
    double amount;
    double price;
    double shares;
};

// Writes an investment file (header + records in the given order, Seq
// numbered per date as the program would) and returns its path.
QString WriteLedger(const QString& path, std::initializer_list<Tx> records);
QString WriteLedger(const QString& path, const std::vector<Tx>& records);
// The transaction records of an investment file (the header left out), and
// the same as "date,seq,desc,amount,price,shares" lines, numbers in their
// shortest exact form.
std::vector<TransactionRecord> ReadRecords(const QString& path);
QStringList RecordLines(const QString& path);
QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);
// brisden-cli run in folder with these arguments under en_US.UTF-8.
struct CliRun {
    bool finished = false;  // ended normally within a minute
    int exitCode = -1;
    QString output, errors;
};
CliRun RunCli(const QString& folder, const QStringList& arguments);

// Runs check as an ordinary user: in a child process that gives up root
// (as nobody) when the tests run as root, else in this process. Its result,
// or nullopt when the machine does not let the child become nobody.
std::optional<int> AsOrdinaryUser(const std::function<int()>& check);

// The non-empty lines of a Latin-1 text file (log, definition file), without line ends.
QStringList TextLines(const QString& path);

}  // namespace brisden::test
