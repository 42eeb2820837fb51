#include "gui/app/CommandBar.h"

#include "gui/app/CommandTable.h"
#include "gui/app/ToolbarIcons.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <new>

namespace pellumar {

namespace {
// An action's own wish to be enabled; it is enabled only once its command exists.
constexpr const char* kWanted = "pellumarWanted";
constexpr const char* kBuilt = "pellumarBuilt";

void refreshEnabled(QAction* a) {
    a->setEnabled(a->property(kWanted).toBool() && a->property(kBuilt).toBool());
}

int slot(CommandId id) {
    return static_cast<int>(id);
}
}  // namespace

CommandBar::CommandBar(QMainWindow& window) : QObject(&window) {
    buildMenus(window);
    buildToolbars(window);
}

CommandBar::~CommandBar() = default;

QAction* CommandBar::known(CommandId id) const {
    const int i = slot(id);
    QAction* a = i >= 0 && i < kCommandCount ? actions_[static_cast<size_t>(i)] : nullptr;
    Q_ASSERT_X(a, "CommandBar", "a command the command table does not know");
    return a;
}

void CommandBar::buildMenus(QMainWindow& window) {
    for (const MenuEntry& e : menuEntries()) {
        const QString name = commandName(e.id);
        const QString caption = QString::fromLatin1(e.caption);
        QMenu* parentMenu = e.parent ? menus_.value(slot(*e.parent)) : nullptr;
        if (e.flags & CommandSeparatorBefore && parentMenu) {
            parentMenu->addSeparator();
        }
        QAction* a = nullptr;
        if (e.flags & CommandSubmenu) {
            QMenu* m =
                parentMenu ? parentMenu->addMenu(caption) : window.menuBar()->addMenu(caption);
            m->setObjectName(name);
            menus_.insert(slot(e.id), m);
            a = m->menuAction();
            a->setObjectName(name);
            // A submenu opens whatever its items' state; it is enabled by its state alone.
            a->setProperty(kBuilt, true);
            a->setProperty(kWanted, true);
        } else {
            a = new QAction(caption, this);
            a->setObjectName(name);
            if (*e.shortcut) {
                a->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(e.shortcut),
                                                             QKeySequence::PortableText));
            }
            a->setCheckable(e.flags & CommandCheckable);
            a->setChecked(e.flags & CommandChecked);
            a->setProperty(kWanted, !(e.flags & CommandDisabled));
            a->setProperty(kBuilt, false);
            refreshEnabled(a);
            if (parentMenu) {
                parentMenu->addAction(a);
            }
        }
        actions_[static_cast<size_t>(slot(e.id))] = a;
        if (e.flags & CommandSeparatorAfter && parentMenu) {
            separatorsAfter_.insert(slot(e.id), parentMenu->addSeparator());
        }
    }
}

QToolButton* CommandBar::makeButton(QToolBar* bar, const QString& key, const QString& toolTip,
                                    CommandId command, bool checkable) {
    QAction* a = known(command);
    auto* button = new QToolButton(bar);
    button->setObjectName(key);
    button->setIcon(toolbarIcon(key));
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCheckable(checkable);
    // The button shows its command's state; hiding a menu item leaves the button where it is.
    auto sync = [button, a] {
        button->setEnabled(a->isEnabled());
        if (button->isCheckable()) {
            button->setChecked(a->isChecked());
        }
    };
    sync();
    connect(a, &QAction::changed, button, sync);
    connect(button, &QToolButton::clicked, this, [this, key, sync] {
        Toolbar_ButtonClick(key);
        sync();  // a command may leave its state as it was, whatever the click did to the look
    });
    buttons_.insert(key, button);
    buttonCommands_.insert(key, command);
    return button;
}

void CommandBar::buildToolbars(QMainWindow& window) {
    // The toolbar's own commands ("Bold", "A", ...) and the Open drop-down's entries.
    for (const ToolEntry& t : mainToolbarEntries()) {
        if (!actions_[static_cast<size_t>(slot(t.command))]) {
            auto* a = new QAction(QString::fromLatin1(t.key), this);
            a->setObjectName(QString::fromLatin1(t.key));
            a->setCheckable(t.kind == ToolKind::Check);
            a->setProperty(kWanted, true);
            a->setProperty(kBuilt, false);
            refreshEnabled(a);
            actions_[static_cast<size_t>(slot(t.command))] = a;
        }
    }
    for (const DropDownEntry& d : openDropDownEntries()) {
        auto* a = new QAction(QString::fromLatin1(d.caption), this);
        a->setObjectName(commandName(d.id));
        a->setProperty(kWanted, true);
        a->setProperty(kBuilt, false);
        refreshEnabled(a);
        actions_[static_cast<size_t>(slot(d.id))] = a;
    }

    toolbar_ = window.addToolBar(QStringLiteral("Toolbar"));
    toolbar_->setObjectName(QStringLiteral("Toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(16, 16));
    for (const ToolEntry& t : mainToolbarEntries()) {
        const QString key = QString::fromLatin1(t.key);
        QToolButton* button = makeButton(toolbar_, key, QString::fromLatin1(t.toolTip), t.command,
                                         t.kind == ToolKind::Check || t.kind == ToolKind::ModePair);
        if (t.kind == ToolKind::DropDown) {
            button->setPopupMode(QToolButton::MenuButtonPopup);
            auto* dropDown = new QMenu(button);
            for (const DropDownEntry& d : openDropDownEntries()) {
                dropDown->addAction(known(d.id));
            }
            button->setMenu(dropDown);
        }
        toolbar_->addWidget(button);
        if (t.separatorAfter) {
            toolbar_->addSeparator();
        }
    }

    toolbar2_ = new QToolBar(QStringLiteral("Toolbar2"), toolbar_);
    toolbar2_->setObjectName(QStringLiteral("Toolbar2"));
    toolbar2_->setIconSize(QSize(16, 16));
    for (const ToolEntry& t : moveToolbarEntries()) {
        toolbar2_->addWidget(makeButton(toolbar2_, QString::fromLatin1(t.key),
                                        QString::fromLatin1(t.toolTip), t.command, false));
    }
}

void CommandBar::Toolbar_ButtonClick(const QString& key) {
    emit toolbarButtonClicked(key);
    const auto it = buttonCommands_.constFind(key);
    if (it == buttonCommands_.constEnd()) {
        return;
    }
    QAction* a = known(*it);
    if (a->isEnabled()) {
        a->trigger();
    }
}

void CommandBar::registerCommand(CommandId id, std::function<void()> handler) {
    QAction* a = known(id);
    if (!a) {
        return;
    }
    a->setProperty(kBuilt, true);
    refreshEnabled(a);
    connect(a, &QAction::triggered, this, [this, a, handler = std::move(handler)](bool checked) {
        if (a->isCheckable()) {
            a->setChecked(!checked);  // the command itself decides the check mark
        }
        // A command the system cannot give its memory stops there; the program goes on.
        try {
            handler();
        } catch (const std::bad_alloc&) {
            emit outOfMemory();
        }
    });
}

void CommandBar::setCommandEnabled(CommandId id, bool enabled) {
    if (QAction* a = known(id)) {
        a->setProperty(kWanted, enabled);
        refreshEnabled(a);
    }
}

bool CommandBar::commandEnabled(CommandId id) const {
    QAction* a = known(id);
    return a && a->property(kWanted).toBool();
}

bool CommandBar::commandBuilt(CommandId id) const {
    QAction* a = known(id);
    return a && a->property(kBuilt).toBool();
}

void CommandBar::setCommandChecked(CommandId id, bool checked) {
    if (QAction* a = known(id)) {
        a->setChecked(checked);
    }
}

bool CommandBar::commandChecked(CommandId id) const {
    QAction* a = known(id);
    return a && a->isChecked();
}

void CommandBar::setCommandVisible(CommandId id, bool visible) {
    if (QAction* a = known(id)) {
        a->setVisible(visible);
    }
}

void CommandBar::setSeparatorAfterVisible(CommandId id, bool visible) {
    QAction* separator = separatorsAfter_.value(slot(id));
    Q_ASSERT_X(separator, "CommandBar", "the menu item has no separator after it");
    if (separator) {
        separator->setVisible(visible);
    }
}

QAction* CommandBar::action(CommandId id) const {
    return known(id);
}

QMenu* CommandBar::menu(CommandId id) const {
    QMenu* m = menus_.value(slot(id));
    Q_ASSERT_X(m, "CommandBar", "the command opens no menu");
    return m;
}

QAction* CommandBar::separatorAfter(CommandId id) const {
    return separatorsAfter_.value(slot(id));
}

void CommandBar::popupMenu(CommandId id, const QPoint& globalPos) {
    if (QMenu* m = menu(id)) {
        m->popup(globalPos);
    }
}

}  // namespace pellumar
