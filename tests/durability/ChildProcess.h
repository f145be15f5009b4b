#pragma once
// A program started by a test with pipes to its stdin and stdout (stderr kept
// apart), that the test can read line by line, kill with SIGKILL and reap.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <sys/types.h>

namespace brisden::test {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with args in folder (empty: the current one). False
    // when it could not be started.
    bool start(const QString& program, const QStringList& args, const QString& folder = QString());

    // The next whole line of stdout (without its line end), waiting up to
    // timeout; nullopt when none came (the program ended or took too long).
    std::optional<QByteArray> readLine(std::chrono::milliseconds timeout);
    // Reads what is there (without waiting) into the lines not yet taken.
    void drain();
    // Every whole line read so far and not yet taken by readLine.
    QList<QByteArray> takeLines();

    // Closes the program's stdin.
    void closeInput();
    // SIGKILL, then waits for the end; the output written before the kill
    // is read.
    void kill();
    // Waits for the end: the exit code, or -1 when the program died of a
    // signal or did not end within timeout (it is killed then).
    int wait(std::chrono::milliseconds timeout);
    // Everything it wrote on stderr (read once it has ended).
    QByteArray errors() const { return m_errors; }
    bool running() const { return m_pid > 0; }

private:
    bool readSome(int timeoutMs);
    void reap(bool block);

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
    int m_status = -1;
    QByteArray m_pending;
    QList<QByteArray> m_lines;
    QByteArray m_errors;
};

}  // namespace brisden::test
