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
    void itemsStandInTheTablesOrder();
    void guardBlocksCommandsWhileBusy();
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

void CommandHostTest::itemsStandInTheTablesOrder()
{
    QMainWindow window;
    CommandHost host(window, Layout, [] { return true; });
    QCOMPARE(window.menuBar()->actions().size(), 1);
    QCOMPARE(window.menuBar()->actions().at(0)->menu(), host.menu("mnuA"));

    // Filled in backwards; one item of the menu bar stays empty.
    host.command("mnuSubOne", QStringLiteral("Sub one"), [] {});
    host.command("mnuThree", QStringLiteral("&Three"), QKeySequence(Qt::CTRL | Qt::Key_3), [] {});
    host.command("mnuOne", QStringLiteral("&One"), [] {});
    host.command("mnuPopSubOne", QStringLiteral("Deeper"), QKeySequence(Qt::CTRL | Qt::Key_9),
                 [] {});
    host.command("mnuPopOne", QStringLiteral("Pop one"), [] {});
    QCOMPARE(shown(host.menu("mnuA")), QStringList({"mnuOne", "-", ">mnuSub", "mnuThree"}));
    QCOMPARE(host.unfilled(), QStringList({"mnuTwo"}));
    // An action made elsewhere takes its place.
    auto* made = new QAction(QStringLiteral("&Two"), &window);
    QCOMPARE(host.place("mnuTwo", made), made);
    QCOMPARE(shown(host.menu("mnuA")),
             QStringList({"mnuOne", "-", "mnuTwo", ">mnuSub", "mnuThree"}));
    QCOMPARE(host.action("mnuTwo"), made);
    QVERIFY(host.unfilled().isEmpty());
    QCOMPARE(shown(host.menu("mnuSub")), QStringList({"mnuSubOne"}));
    QCOMPARE(shown(host.menu("mnuPop")), QStringList({"mnuPopOne", ">mnuPopSub"}));
    QCOMPARE(host.action("mnuThree")->text(), QStringLiteral("&Three"));
    QCOMPARE(host.action("mnuThree")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_3));

    // Items under the menu bar join the window (their keys work anywhere);
    // the popup's do not, even in its submenu.
    const QList<QAction*> inWindow = window.actions();
    for (const char* name : {"mnuOne", "mnuTwo", "mnuThree", "mnuSubOne"})
        QVERIFY2(inWindow.contains(host.action(name)), name);
    for (const char* name : {"mnuPopOne", "mnuPopSubOne"})
        QVERIFY2(!inWindow.contains(host.action(name)), name);
    QCOMPARE(host.action("mnuNone"), nullptr);
}

void CommandHostTest::guardBlocksCommandsWhileBusy()
{
    QMainWindow window;
    bool busy = false;
    CommandHost host(window, Layout, [&busy] { return !busy; });
    int runs = 0;
    int unguarded = 0;
    QAction* one = host.command("mnuOne", QStringLiteral("&One"), [&runs] { ++runs; });
    QAction* two = host.item("mnuTwo", QStringLiteral("&Two"));
    QObject::connect(two, &QAction::triggered, [&unguarded] { ++unguarded; });
    QPushButton button;
    host.onCommand(&button, [&runs] { runs += 10; });
    CommandHost::twin(one, &button);

    one->trigger();
    button.click();
    QCOMPARE(runs, 11);
    busy = true;
    one->trigger();
    button.click();
    two->trigger();
    QCOMPARE(runs, 11);
    QCOMPARE(unguarded, 1);  // an item the caller wired itself runs regardless
    busy = false;
    one->trigger();
    QCOMPARE(runs, 12);

    // The button follows its item's enabled state.
    one->setEnabled(false);
    QVERIFY(!button.isEnabled());
    one->setEnabled(true);
    QVERIFY(button.isEnabled());
}

QTEST_MAIN(CommandHostTest)
#include "tst_commandhost.moc"
