// The typed command ids and the command table agree: every id is in the table exactly once under
// its own name, every entry of the table is a known id, and the window has an action for each.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include <map>
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
        QCOMPARE(QString::fromLatin1(edit[0]->caption), QStringLiteral("U&ndo"));
        QCOMPARE(QString::fromLatin1(edit[0]->shortcut), QStringLiteral("Ctrl+Z"));
        QCOMPARE(edit[0]->flags, unsigned(CommandDisabled));
        QCOMPARE(edit[1]->id, CommandId::mnuRedo);
        QCOMPARE(QString::fromLatin1(edit[1]->caption), QStringLiteral("R&edo"));
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

    // No menu of the window has two items with the same access key, Undo and Redo named for a
    // step included; only the program's own captions "&Append" and "Save &As" in File, and
    // "Select &All" and "&Add Row" in Edit, share theirs.
    void noMenuHasTwoItemsWithOneAccessKey() {
        TestSettings settings;
        TestWindow w;
        const auto mnemonic = [](const QString& text) -> QChar {
            for (qsizetype i = 0; i + 1 < text.size(); ++i) {
                if (text[i] == u'&') {
                    if (text[i + 1] != u'&') {
                        return text[i + 1].toUpper();
                    }
                    ++i;
                }
            }
            return {};
        };
        const std::set<QString> shared = {"&Append", "Save &As", "Select &All", "&Add Row"};
        const auto check = [&](const QString& when) {
            std::vector<QMenu*> menus;
            for (QAction* top : w->menuBar()->actions()) {
                if (top->menu()) {
                    menus.push_back(top->menu());
                }
            }
            QVERIFY(menus.size() >= 5);
            for (size_t m = 0; m < menus.size(); ++m) {
                std::map<QChar, QString> taken;
                for (QAction* a : menus[m]->actions()) {
                    if (a->menu()) {
                        menus.push_back(a->menu());
                    }
                    const QChar key = mnemonic(a->text());
                    if (key.isNull()) {
                        continue;
                    }
                    const auto [at, fresh] = taken.emplace(key, a->text());
                    QVERIFY2(fresh || (shared.count(at->second) && shared.count(a->text())),
                             qPrintable(when + QStringLiteral(": ") + at->second +
                                        QStringLiteral(" and ") + a->text()));
                }
            }
        };
        check(QStringLiteral("at start"));
        // A step to undo and one to redo: their captions name them.
        w->fa()->setTextMatrix(1, 0, QStringLiteral("x"));
        w->action(CommandId::mnuUndo)->trigger();
        w->fa()->setTextMatrix(2, 0, QStringLiteral("y"));
        w->fa()->setTextMatrix(3, 0, QStringLiteral("z"));
        w->action(CommandId::mnuUndo)->trigger();
        QVERIFY(w->action(CommandId::mnuUndo)->isEnabled());
        QVERIFY(w->action(CommandId::mnuRedo)->isEnabled());
        check(QStringLiteral("with steps"));
    }

    // Alt+E, U is Cut, with Undo and Redo on offer.
    void editMenuKeyURunsCut() {
        TestSettings settings;
        TestWindow w(true);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        GridControl* fa = w->fa();
        fa->setTextMatrix(2, 0, QStringLiteral("first"));
        fa->setTextMatrix(3, 0, QStringLiteral("cut me"));
        fa->setTextMatrix(4, 0, QStringLiteral("last"));
        w->action(CommandId::mnuUndo)->trigger();
        QVERIFY(w->action(CommandId::mnuUndo)->isEnabled());
        QVERIFY(w->action(CommandId::mnuRedo)->isEnabled());
        fa->setFocus();
        QTRY_COMPARE(w->views().activeArea(), ActiveArea::DataGrid);
        fa->select(3, 0);
        QTest::keyClick(w.window.get(), Qt::Key_E, Qt::AltModifier);
        QMenu* edit = w->commands().menu(CommandId::mnuEdit);
        QTRY_VERIFY(edit->isVisible());
        QTest::keyClick(edit, Qt::Key_U);
        QTRY_VERIFY(!edit->isVisible());
        QCOMPARE(fa->textMatrix(3, 0), QString());
        QCOMPARE(QGuiApplication::clipboard()->text().section(u'\t', 0, 0),
                 QStringLiteral("cut me"));
        // Neither undone nor redone.
        QCOMPARE(fa->textMatrix(2, 0), QStringLiteral("first"));
        QCOMPARE(fa->textMatrix(4, 0), QString());
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
