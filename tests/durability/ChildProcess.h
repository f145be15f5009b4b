#pragma once
// A program started by a test, its stdout read line by line (stderr kept
// apart). QProcess::kill() ends it with SIGKILL; what it wrote before the
// kill stays readable.

#include <QProcess>

namespace brisden::test {

// Starts program with args in folder (empty: the current one); false when it
// could not be started.
inline bool Start(QProcess& process, const QString& program, const QStringList& args,
                  const QString& folder = QString())
{
    process.setWorkingDirectory(folder);
    process.start(program, args);
    return process.waitForStarted(20000);
}

// The next line of stdout without its line end, waiting up to ms for each
// read; empty when none came.
inline QByteArray ReadLine(QProcess& process, int ms)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(ms))
            return {};
    }
    return process.readLine().trimmed();
}

// Waits for the end: the exit code, or -1 when the program died of a signal
// or did not end within ms (it is killed then).
inline int Wait(QProcess& process, int ms)
{
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace brisden::test
