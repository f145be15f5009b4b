#pragma once
// The screen answers of the desktop program: message boxes and the input box
// with the program title as caption, and the cancel poll of long passes.

#include "ui/Interaction.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace brisden::ui {

class WidgetMessageBox final : public IMessageBox {
public:
    WidgetMessageBox(QWidget* parent, QString title) : m_parent(parent), m_title(std::move(title))
    {
    }
    void setTitle(const QString& title) { m_title = title; }
    void setParent(QWidget* parent) { m_parent = parent; }

    void show(const QString& text, Icon icon) override;
    bool askYesNo(const QString& text, bool defaultNo) override;
    bool askOkCancel(const QString& text) override;
    void beep() override;

private:
    QPointer<QWidget> m_parent;
    QString m_title;
};

class WidgetInputBox final : public IInputBox {
public:
    WidgetInputBox(QWidget* parent, QString title) : m_parent(parent), m_title(std::move(title)) {}
    void setTitle(const QString& title) { m_title = title; }
    // An empty title takes the program title.
    std::optional<QString> ask(const QString& prompt, const QString& title,
                               const QString& defaultText) override;

private:
    QPointer<QWidget> m_parent;
    QString m_title;
};

// Lets pending window events run and reports the cancel flag (set by the
// Escape key on the main window). A pass calls it once per record; the
// events are run at most every few milliseconds, which keeps the window as
// responsive as running them every time while a million-record ledger does
// not spend its time polling an empty event queue.
class WidgetCancelPoll final : public ICancelPoll {
public:
    explicit WidgetCancelPoll(std::function<bool()> cancelFlag, int intervalMs = 15);
    bool pollCancel() override;

private:
    std::function<bool()> m_flag;
    QElapsedTimer m_sinceEvents;
    int m_intervalMs;
};

// Passes every question on to the box in force (the tests put fakes there).
class MessageRouter final : public IMessageBox {
public:
    explicit MessageRouter(IMessageBox* target) : m_target(target) {}
    void setTarget(IMessageBox* target) { m_target = target; }
    void show(const QString& text, Icon icon) override { m_target->show(text, icon); }
    bool askYesNo(const QString& text, bool defaultNo) override
    {
        return m_target->askYesNo(text, defaultNo);
    }
    bool askOkCancel(const QString& text) override { return m_target->askOkCancel(text); }
    void beep() override { m_target->beep(); }

private:
    IMessageBox* m_target;
};

class InputRouter final : public IInputBox {
public:
    explicit InputRouter(IInputBox* target) : m_target(target) {}
    void setTarget(IInputBox* target) { m_target = target; }
    std::optional<QString> ask(const QString& prompt, const QString& title,
                               const QString& defaultText) override
    {
        return m_target->ask(prompt, title, defaultText);
    }

private:
    IInputBox* m_target;
};

}  // namespace brisden::ui
