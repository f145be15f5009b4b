#pragma once
// One running copy per user: the first copy listens on a local socket named
// after the user; a later copy finds it there, asks it to come to the front
// and ends.

#include <QObject>
#include <QString>

class QLocalServer;

namespace brisden {

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // key: the socket name; empty takes the per-user default.
    explicit SingleInstance(QString key = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString DefaultKey();

    // True when another copy answered: it was asked to come to the front.
    bool askRunningInstanceToRaise(int timeoutMs = 1000);
    // Starts listening for later copies; false when the socket could not be made.
    bool listen();

signals:
    // A later copy asked this one to come to the front.
    void raiseRequested();

private:
    QString m_key;
    QLocalServer* m_server = nullptr;
};

}  // namespace brisden
