#pragma once
// What the engines ask of the screen. The desktop program implements these
// with Qt Widgets; tests and the command line answer them without windows.

#include <QString>
#include <optional>

namespace brisden::ui {

enum class Icon { Information, Exclamation, Question, Critical };

// Message boxes carry the program title as caption.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void show(const QString& text, Icon icon) = 0;
    // Yes/No with a question icon; destructive questions default to No.
    virtual bool askYesNo(const QString& text, bool defaultNo) = 0;
    // OK/Cancel with a question icon, OK the default; true for OK.
    virtual bool askOkCancel(const QString& text) = 0;
    virtual void beep() = 0;
};

class IInputBox {
public:
    virtual ~IInputBox() = default;
    // The typed text, or nullopt when the user cancelled.
    virtual std::optional<QString> ask(const QString& prompt, const QString& title,
                                       const QString& defaultText) = 0;
};

// Long passes call this once per record: it lets pending window events run
// and tells whether the user asked to cancel (Escape).
class ICancelPoll {
public:
    virtual ~ICancelPoll() = default;
    virtual bool pollCancel() = 0;
};

// The writing side of the session log: one journal line per notable action,
// optionally shown in the notices window. Engines log through this and never
// see where the journal is kept.
class ILogSink {
public:
    virtual ~ILogSink() = default;
    virtual void LogSession(const QString& message, bool display = false, bool wait = false,
                            bool showButtons = false) = 0;
};

// The display side of the session log: the "Program Notices" window.
class INoticeDisplay {
public:
    virtual ~INoticeDisplay() = default;
    virtual void showNotice(const QString& message, bool wait, bool showButtons) = 0;
};

// Answers for headless runs: no window, messages go to a sink.
class NullCancelPoll final : public ICancelPoll {
public:
    bool pollCancel() override { return false; }
};

}  // namespace brisden::ui
