#pragma once
// The window's menus and the commands in them. The window describes its
// menus once, as a table of menus and the names of the items in each, in
// order; each feature then fills in its own items (caption, shortcut,
// handler) wherever it lives, and the item appears in its place. Commands run
// through one guard: nothing runs while the window is busy (a listing, an
// import, a cell being edited).

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;
class QAction;
class QMainWindow;
class QMenu;

namespace brisden::ui {

// One menu of the window. items are item names in order; "-" is a separator
// and the name of another menu of the table puts that menu there as a
// submenu. A top menu goes on the menu bar; a popup menu (a right-click menu)
// is shown by its owner.
struct MenuEntry {
    enum Kind { Top, Popup, Sub };
    const char* name;
    const char* caption;
    Kind kind;
    std::vector<const char*> items;
};

class CommandHost final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    // Makes the menus of the table on window's menu bar with their items
    // waiting to be filled in. mayRun says whether a command may run now.
    CommandHost(QMainWindow& window, const std::vector<MenuEntry>& menus,
                std::function<bool()> mayRun);

    // Fills in the item name: caption, shortcut (working anywhere in the
    // window) and the handler, which runs only when mayRun() allows.
    QAction* command(const char* name, const QString& caption, const QKeySequence& key,
                     Handler handler);
    QAction* command(const char* name, const QString& caption, Handler handler)
    {
        return command(name, caption, QKeySequence(), std::move(handler));
    }
    // Fills in the item without a handler: the caller connects it itself (a
    // command that runs whatever the window is doing).
    QAction* item(const char* name, const QString& caption, const QKeySequence& key = {});
    // Puts an action made elsewhere in the place of item name.
    QAction* place(const char* name, QAction* action);

    // The guard for other triggers: buttons beside the grid and the like.
    void onCommand(QAction* action, Handler handler);
    void onCommand(QAbstractButton* button, Handler handler);
    // The button is enabled exactly when the item is.
    static void twin(QAction* item, QAbstractButton* button);
    bool mayRun() const { return m_mayRun(); }

    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;
    // Items of the table that no feature has filled in.
    QStringList unfilled() const;

private:
    QAction* take(const char* name);

    QMainWindow& m_window;
    std::function<bool()> m_mayRun;
    std::map<std::string, QMenu*> m_menus;
    struct Slot {
        QAction* action = nullptr;
        QMenu* menu = nullptr;
        bool inWindow = false;  // its shortcut works anywhere in the window
        bool filled = false;
    };
    std::map<std::string, Slot> m_items;
};

}  // namespace brisden::ui
