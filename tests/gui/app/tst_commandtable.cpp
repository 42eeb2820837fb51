// The typed command ids and the command table agree: every id is in the table exactly once under
// its own name, every entry of the table is a known id, and the window has an action for each.
#include <QAction>
#include <QtTest>

#include <set>
#include <vector>

#include "TestWindow.h"
#include "gui/app/CommandTable.h"

using namespace pellumar;

class TstCommandTable : public QObject {
    Q_OBJECT

private slots:
    void everyCommandIsInTheTableOnce() {
        std::multiset<int> seen;
        for (const MenuEntry& e : menuEntries()) {
            seen.insert(int(e.id));
            if (e.parent) {
                QVERIFY2(seen.count(int(*e.parent)) == 1,
                         qPrintable(commandName(e.id) + QStringLiteral(" before its menu")));
            }
        }
        for (const ToolEntry& t : mainToolbarEntries()) {
            // A button of its own is keyed by its command's name; others share a menu command.
            if (commandName(t.command) == QString::fromLatin1(t.key)) {
                seen.insert(int(t.command));
            } else {
                QVERIFY2(seen.count(int(t.command)) == 1, t.key);
            }
        }
        for (const ToolEntry& t : moveToolbarEntries()) {
            QVERIFY2(seen.count(int(t.command)) == 1, t.key);
        }
        for (const DropDownEntry& d : openDropDownEntries()) {
            seen.insert(int(d.id));
        }
        for (int i = 0; i < kCommandCount; ++i) {
            const QString name = commandName(static_cast<CommandId>(i));
            QCOMPARE(int(seen.count(i)), 1);
            QCOMPARE(commandFromName(name), std::optional<CommandId>(static_cast<CommandId>(i)));
        }
        QCOMPARE(int(seen.size()), kCommandCount);
        QVERIFY(!commandFromName(u"mnuNoSuchThing").has_value());
    }

    // Undo and Redo open the Edit menu, disabled until there is something to undo or redo, with
    // a separator after them; Redo answers to two shortcuts.
    void editBeginsWithUndoAndRedo() {
        std::vector<const MenuEntry*> edit;
        for (const MenuEntry& e : menuEntries()) {
            if (e.parent == CommandId::mnuEdit) {
                edit.push_back(&e);
            }
        }
        QVERIFY(edit.size() > 3);
        QCOMPARE(edit[0]->id, CommandId::mnuUndo);
        QCOMPARE(QString::fromLatin1(edit[0]->caption), QStringLiteral("&Undo"));
        QCOMPARE(QString::fromLatin1(edit[0]->shortcut), QStringLiteral("Ctrl+Z"));
        QCOMPARE(edit[0]->flags, unsigned(CommandDisabled));
        QCOMPARE(edit[1]->id, CommandId::mnuRedo);
        QCOMPARE(QString::fromLatin1(edit[1]->caption), QStringLiteral("&Redo"));
        QCOMPARE(QString::fromLatin1(edit[1]->shortcut), QStringLiteral("Ctrl+Y; Ctrl+Shift+Z"));
        QCOMPARE(edit[1]->flags, unsigned(CommandDisabled | CommandSeparatorAfter));
        QCOMPARE(edit[2]->id, CommandId::mnuEditCut);

        TestSettings settings;
        TestWindow w;
        QAction* redo = w->action(CommandId::mnuRedo);
        QCOMPARE(redo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
        QVERIFY(!redo->isEnabled());
        QVERIFY(!w->action(CommandId::mnuUndo)->isEnabled());
    }

    void theWindowHasAnActionForEveryCommand() {
        TestSettings settings;
        TestWindow w;
        for (int i = 0; i < kCommandCount; ++i) {
            const auto id = static_cast<CommandId>(i);
            QAction* a = w->action(id);
            QVERIFY2(a, qPrintable(commandName(id)));
            QCOMPARE(a->objectName(), commandName(id));
        }
        // Every toolbar key has its button; a key the toolbars do not have has none, and a click
        // on it runs nothing.
        for (const ToolEntry& t : mainToolbarEntries()) {
            QVERIFY2(w->toolButton(QString::fromLatin1(t.key)), t.key);
        }
        QVERIFY(!w->toolButton(QStringLiteral("NoSuchKey")));
        QSignalSpy clicked(&w->commands(), &CommandBar::toolbarButtonClicked);
        w->commands().Toolbar_ButtonClick(QStringLiteral("NoSuchKey"));
        QCOMPARE(clicked.count(), 1);
        QVERIFY(!w->document().isModified());
    }
};

QTEST_MAIN(TstCommandTable)
#include "tst_commandtable.moc"
