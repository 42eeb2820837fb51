// The main window's menus and toolbars, built from the command table, and the registry through
// which the subsystems' controllers connect their commands to them.
//
// Menu items, shortcuts and the right-click popup share one QAction per command. The toolbar
// buttons show the state of the command they run (enabled, pressed) but not its visibility: the
// Edit menu hides items by the focus, the toolbar keeps every button. A click on a toolbar button
// goes through `Toolbar_ButtonClick` with the button's key, which first tells the window (the
// colour palette hides) and then runs the command.
#pragma once

#include <QHash>
#include <QObject>

#include <array>

#include "gui/services/CommandRegistry.h"

class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace pellumar {

class CommandBar : public QObject, public CommandRegistry {
    Q_OBJECT

public:
    // Builds the menu bar and the main toolbar of `window`, and the row-move toolbar `Toolbar2`.
    explicit CommandBar(QMainWindow& window);
    ~CommandBar() override;

    // CommandRegistry
    void registerCommand(CommandId id, std::function<void()> handler) override;
    void setCommandEnabled(CommandId id, bool enabled) override;
    bool commandEnabled(CommandId id) const override;
    void setCommandChecked(CommandId id, bool checked) override;
    bool commandChecked(CommandId id) const override;
    void setCommandVisible(CommandId id, bool visible) override;
    void setSeparatorAfterVisible(CommandId id, bool visible) override;
    QAction* action(CommandId id) const override;
    void popupMenu(CommandId menu, const QPoint& globalPos) override;

    // True once a controller has connected the command.
    bool commandBuilt(CommandId id) const;
    QMenu* menu(CommandId id) const;
    QAction* separatorAfter(CommandId id) const;

    QToolBar* toolbar() const { return toolbar_; }
    QToolBar* toolbar2() const { return toolbar2_; }
    // The main toolbar's and the row-move toolbar's button by key ("Bold", "Up"); none for a key
    // the toolbars do not have.
    QToolButton* toolButton(const QString& key) const { return buttons_.value(key); }

    // A click on the main toolbar's button keyed `key` (or the row-move toolbar's): the window
    // hears of it first, then the button's command runs. A key no button has does nothing more.
    void Toolbar_ButtonClick(const QString& key);

signals:
    // A toolbar button was clicked; its command runs right after.
    void toolbarButtonClicked(const QString& key);
    // A command stopped because the system had no memory for it.
    void outOfMemory();

private:
    void buildMenus(QMainWindow& window);
    void buildToolbars(QMainWindow& window);
    QToolButton* makeButton(QToolBar* bar, const QString& key, const QString& toolTip,
                            CommandId command, bool checkable);
    QAction* known(CommandId id) const;

    std::array<QAction*, kCommandCount> actions_{};
    QHash<int, QMenu*> menus_;
    QHash<int, QAction*> separatorsAfter_;
    QHash<QString, QToolButton*> buttons_;
    QHash<QString, CommandId> buttonCommands_;
    QToolBar* toolbar_ = nullptr;
    QToolBar* toolbar2_ = nullptr;
};

}  // namespace pellumar
