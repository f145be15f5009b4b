// The command host of the main window: items stand where the menu table puts
// them whatever order the features fill them in, only filled items show, the
// menu bar's shortcuts work anywhere in the window, and no command (menu item
// or button) runs while the window says it is busy.

#include "ui/widgets/CommandHost.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using brisden::ui::CommandHost;
using brisden::ui::MenuEntry;

class CommandHostTest : public QObject {
    Q_OBJECT

private slots:
    void itemsStandInTheTablesOrderAndWaitWhileBusy();
};

namespace {
const std::vector<MenuEntry> Layout = {
    {"mnuA", "&A", MenuEntry::Top, {"mnuOne", "-", "mnuTwo", "mnuSub", "mnuThree"}},
    {"mnuSub", "&Sub", MenuEntry::Sub, {"mnuSubOne"}},
    {"mnuPop", "", MenuEntry::Popup, {"mnuPopOne", "mnuPopSub"}},
    {"mnuPopSub", "&More", MenuEntry::Sub, {"mnuPopSubOne"}},
};

// What a menu shows: item names, "-" for separators, ">name" for submenus.
QStringList shown(const QMenu* menu)
{
    QStringList names;
    for (const QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        names << (a->isSeparator() ? QStringLiteral("-")
                  : a->menu()      ? QLatin1Char('>') + a->menu()->objectName()
                                   : a->objectName());
    }
    return names;
}
}  // namespace

void CommandHostTest::itemsStandInTheTablesOrderAndWaitWhileBusy()
{
    QMainWindow window;
    bool busy = false;
    CommandHost host(window, Layout, [&busy] { return !busy; });
    QCOMPARE(window.menuBar()->actions().size(), 1);
    QCOMPARE(window.menuBar()->actions().at(0)->menu(), host.menu("mnuA"));

    // Filled in backwards; one item of the menu bar stays empty.
    int runs = 0;
    host.command("mnuSubOne", QStringLiteral("Sub one"), [] {});
    QAction* three = host.command("mnuThree", QStringLiteral("&Three"),
                                  QKeySequence(Qt::CTRL | Qt::Key_3), [&runs] { ++runs; });
    host.command("mnuOne", QStringLiteral("&One"), [] {});
    host.command("mnuPopSubOne", QStringLiteral("Deeper"), QKeySequence(Qt::CTRL | Qt::Key_9),
                 [] {});
    host.command("mnuPopOne", QStringLiteral("Pop one"), [] {});
    QCOMPARE(shown(host.menu("mnuA")), QStringList({"mnuOne", "-", ">mnuSub", "mnuThree"}));
    QCOMPARE(host.unfilled(), QStringList({"mnuTwo"}));
    // An action made elsewhere takes its place; the caller wires it itself.
    auto* two = new QAction(QStringLiteral("&Two"), &window);
    QCOMPARE(host.place("mnuTwo", two), two);
    int unguarded = 0;
    QObject::connect(two, &QAction::triggered, [&unguarded] { ++unguarded; });
    QCOMPARE(shown(host.menu("mnuA")),
             QStringList({"mnuOne", "-", "mnuTwo", ">mnuSub", "mnuThree"}));
    QCOMPARE(host.action("mnuTwo"), two);
    QVERIFY(host.unfilled().isEmpty());
    QCOMPARE(shown(host.menu("mnuSub")), QStringList({"mnuSubOne"}));
    QCOMPARE(shown(host.menu("mnuPop")), QStringList({"mnuPopOne", ">mnuPopSub"}));
    QCOMPARE(three->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_3));

    // Items under the menu bar join the window (their keys work anywhere);
    // the popup's do not, even in its submenu.
    const QList<QAction*> inWindow = window.actions();
    for (const char* name : {"mnuOne", "mnuTwo", "mnuThree", "mnuSubOne"})
        QVERIFY2(inWindow.contains(host.action(name)), name);
    for (const char* name : {"mnuPopOne", "mnuPopSubOne"})
        QVERIFY2(!inWindow.contains(host.action(name)), name);
    QCOMPARE(host.action("mnuNone"), nullptr);

    // No command runs while the window is busy, from its item or its twin
    // button; an item the caller wired itself runs regardless.
    QPushButton button;
    host.onCommand(&button, [&runs] { runs += 10; });
    CommandHost::twin(three, &button);
    three->trigger();
    button.click();
    QCOMPARE(runs, 11);
    busy = true;
    three->trigger();
    button.click();
    two->trigger();
    QCOMPARE(runs, 11);
    QCOMPARE(unguarded, 1);
    busy = false;
    three->trigger();
    QCOMPARE(runs, 12);
    // The button follows its item's enabled state.
    three->setEnabled(false);
    QVERIFY(!button.isEnabled());
    three->setEnabled(true);
    QVERIFY(button.isEnabled());
}

QTEST_MAIN(CommandHostTest)
#include "tst_commandhost.moc"
