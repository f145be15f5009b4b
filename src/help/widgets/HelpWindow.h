#pragma once
// The user manual's window: contents, index and full-text search beside the
// page, all read from the help collection through the Qt Help engine. It is
// the program's IHelp: the whole manual, a topic by number, and a topic's
// short text in a small pop-up at a point of the screen.

#include "ui/Help.h"

#include <QMainWindow>
#include <QPointer>
#include <QTextBrowser>

class QHelpEngine;
class QLabel;
class QTabWidget;
class QFrame;

namespace brisden::help {

// The page view: the help engine is its resource loader.
class HelpBrowser final : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    void setHelpEngine(QHelpEngine* engine) { m_engine = engine; }
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHelpEngine* m_engine = nullptr;
};

class HelpWindow final : public QMainWindow, public ui::IHelp {
    Q_OBJECT
public:
    // collection: the .qhc to open; cacheFolder: where a copy goes when
    // the collection's folder cannot be written (see WritableCollection).
    HelpWindow(const QString& collection, const QString& cacheFolder, QWidget* parent = nullptr);
    ~HelpWindow() override;

    bool ShowManual() override;
    void ShowHelpTopic(int id) override;
    void ShowHelpPopup(int id, QPoint globalPos) override;

    // Opens the collection once; false when it cannot be opened. reason()
    // then says why.
    bool open();
    QString reason() const { return m_reason; }
    QString collection() const { return m_collection; }

    // What a topic number opens, and its short text ("" when it has none).
    QUrl topicUrl(int id);
    QString popupText(int id);

    // --- for the tests ---------------------------------------------------
    HelpBrowser* browser() const { return m_browser; }
    QTabWidget* sideTabs() const { return m_tabs; }
    QHelpEngine* engine() const { return m_engine; }
    // The pop-up window with its text (null before the first pop-up).
    QFrame* popup() const { return m_popup; }
    QString popupShownText() const;

private:
    void buildWindow();
    void showPage(const QUrl& url);
    void showPopup(const QString& text, QPoint globalPos);

    QString m_collection;
    QString m_cacheFolder;
    QString m_reason;
    bool m_tried = false;
    bool m_open = false;
    QHelpEngine* m_engine = nullptr;
    HelpBrowser* m_browser = nullptr;
    QTabWidget* m_tabs = nullptr;
    QPointer<QFrame> m_popup;
    QLabel* m_popupLabel = nullptr;
};

}  // namespace brisden::help
