#pragma once
// Escape pressed anywhere in the program while a long run goes on sets a flag
// the run polls, so that the run can stop between two records.

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace brisden::ui {

class EscapeWatch final : public QObject {
public:
    explicit EscapeWatch(bool& flag) : m_flag(flag) { qApp->installEventFilter(this); }
    ~EscapeWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_flag = true;
        return false;
    }

private:
    bool& m_flag;
};

}  // namespace brisden::ui
