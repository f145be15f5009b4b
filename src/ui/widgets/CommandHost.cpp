#include "ui/widgets/CommandHost.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace brisden::ui {

CommandHost::CommandHost(QMainWindow& window, const std::vector<MenuEntry>& menus,
                         std::function<bool()> mayRun)
    : QObject(&window), m_window(window), m_mayRun(std::move(mayRun))
{
    // The menus first, top ones on the bar in the table's order; then which
    // menu holds which submenu, so that every item knows whether it belongs
    // to the menu bar (its shortcut works anywhere) or to a popup menu.
    std::map<std::string, std::string> parentOf;
    for (const MenuEntry& entry : menus) {
        const QString caption = QString::fromLatin1(entry.caption);
        QMenu* menu = entry.kind == MenuEntry::Top ? window.menuBar()->addMenu(caption)
                                                 : new QMenu(caption, &window);
        menu->setObjectName(QLatin1String(entry.name));
        m_menus[entry.name] = menu;
        for (const char* item : entry.items)
            parentOf[item] = entry.name;
    }
    auto onMenuBar = [&](std::string name) {
        for (auto up = parentOf.find(name); up != parentOf.end(); up = parentOf.find(name))
            name = up->second;
        for (const MenuEntry& entry : menus)
            if (name == entry.name)
                return entry.kind == MenuEntry::Top;
        return false;
    };

    for (const MenuEntry& entry : menus) {
        QMenu* menu = m_menus[entry.name];
        const bool inWindow = onMenuBar(entry.name);
        for (const char* name : entry.items) {
            if (qstrcmp(name, "-") == 0) {
                menu->addSeparator();
            } else if (auto sub = m_menus.find(name); sub != m_menus.end()) {
                menu->addMenu(sub->second);
            } else {
                // Hidden until its feature fills it in.
                auto* placeholder = new QAction(menu);
                placeholder->setObjectName(QLatin1String(name));
                placeholder->setVisible(false);
                menu->addAction(placeholder);
                m_items[name] = Slot{placeholder, menu, inWindow, false};
            }
        }
    }
}

QAction* CommandHost::take(const char* name)
{
    const auto slot = m_items.find(name);
    if (slot == m_items.end())
        qFatal("The menus have no item %s", name);
    if (slot->second.filled)
        qFatal("The item %s is filled in twice", name);
    slot->second.filled = true;
    return slot->second.action;
}

QAction* CommandHost::item(const char* name, const QString& caption, const QKeySequence& key)
{
    QAction* a = take(name);
    a->setText(caption);
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setVisible(true);
    if (m_items[name].inWindow)
        m_window.addAction(a);
    return a;
}

QAction* CommandHost::command(const char* name, const QString& caption, const QKeySequence& key,
                              Handler handler)
{
    QAction* a = item(name, caption, key);
    onCommand(a, std::move(handler));
    return a;
}

QAction* CommandHost::place(const char* name, QAction* action)
{
    QAction* placeholder = take(name);
    Slot& slot = m_items[name];
    action->setObjectName(QLatin1String(name));
    slot.menu->insertAction(placeholder, action);
    slot.menu->removeAction(placeholder);
    delete placeholder;
    slot.action = action;
    if (slot.inWindow)
        m_window.addAction(action);
    return action;
}

void CommandHost::onCommand(QAction* action, Handler handler)
{
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] {
        if (m_mayRun())
            handler();
    });
}

void CommandHost::onCommand(QAbstractButton* button, Handler handler)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler = std::move(handler)] {
        if (m_mayRun())
            handler();
    });
}

void CommandHost::twin(QAction* item, QAbstractButton* button)
{
    button->setEnabled(item->isEnabled());
    connect(item, &QAction::enabledChanged, button, &QWidget::setEnabled);
}

QAction* CommandHost::action(const char* name) const
{
    const auto slot = m_items.find(name);
    return slot == m_items.end() ? nullptr : slot->second.action;
}

QMenu* CommandHost::menu(const char* name) const
{
    const auto found = m_menus.find(name);
    return found == m_menus.end() ? nullptr : found->second;
}

QStringList CommandHost::unfilled() const
{
    QStringList names;
    for (const auto& [name, slot] : m_items)
        if (!slot.filled)
            names << QString::fromStdString(name);
    return names;
}

}  // namespace brisden::ui
