#include "durability/ChildProcess.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace brisden::test {

namespace {

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Reads what is left of fd until its end.
QByteArray ReadToEnd(int fd)
{
    QByteArray all;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        all.append(buffer, n);
    }
    return all;
}

}  // namespace

ChildProcess::~ChildProcess()
{
    if (m_pid > 0)
        kill();
    CloseFd(m_in);
    CloseFd(m_out);
    CloseFd(m_err);
}

bool ChildProcess::start(const QString& program, const QStringList& args, const QString& folder)
{
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const QByteArray dir = QFile::encodeName(folder);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());

    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& a : args)
        words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    m_in = in[1];
    m_out = out[0];
    m_err = err[0];
    if (rc != 0) {
        m_pid = -1;
        CloseFd(m_in);
        CloseFd(m_out);
        CloseFd(m_err);
        return false;
    }
    m_status = -1;
    m_pending.clear();
    m_lines.clear();
    m_errors.clear();
    return true;
}

bool ChildProcess::readSome(int timeoutMs)
{
    if (m_out < 0)
        return false;
    pollfd p{m_out, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready <= 0)
        return false;
    char buffer[8192];
    const ssize_t n = ::read(m_out, buffer, sizeof buffer);
    if (n <= 0) {
        CloseFd(m_out);  // the end of its output
        return false;
    }
    m_pending.append(buffer, n);
    qsizetype newline;
    while ((newline = m_pending.indexOf('\n')) >= 0) {
        m_lines.append(m_pending.left(newline));
        m_pending.remove(0, newline + 1);
    }
    return true;
}

std::optional<QByteArray> ChildProcess::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_lines.isEmpty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_out < 0)
            return std::nullopt;
        readSome(int(left.count()));
    }
    return m_lines.takeFirst();
}

void ChildProcess::drain()
{
    while (readSome(0)) {
    }
}

QList<QByteArray> ChildProcess::takeLines()
{
    QList<QByteArray> lines;
    lines.swap(m_lines);
    return lines;
}

void ChildProcess::closeInput()
{
    CloseFd(m_in);
}

void ChildProcess::reap(bool block)
{
    if (m_pid <= 0)
        return;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == m_pid) {
        m_pid = -1;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        CloseFd(m_in);
        // Everything written before the end is still in the pipes.
        if (m_out >= 0) {
            m_pending += ReadToEnd(m_out);
            CloseFd(m_out);
            qsizetype newline;
            while ((newline = m_pending.indexOf('\n')) >= 0) {
                m_lines.append(m_pending.left(newline));
                m_pending.remove(0, newline + 1);
            }
        }
        if (m_err >= 0) {
            m_errors += ReadToEnd(m_err);
            CloseFd(m_err);
        }
    }
}

void ChildProcess::kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    reap(true);
}

int ChildProcess::wait(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_pid > 0) {
        // Keep the pipes flowing so that the program never blocks on them.
        if (m_err >= 0) {
            pollfd p{m_err, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0) {
                char buffer[4096];
                const ssize_t n = ::read(m_err, buffer, sizeof buffer);
                if (n > 0)
                    m_errors.append(buffer, n);
            }
        }
        readSome(5);
        reap(false);
        if (m_pid > 0 && std::chrono::steady_clock::now() > deadline) {
            kill();
            return -1;
        }
    }
    return m_status;
}

}  // namespace brisden::test
