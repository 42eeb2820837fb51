// The main window's menus and toolbars, built from the command tables.
#include "app/CommandTable.h"
#include "app/ToolbarIcons.h"
#include "app/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace pellumar {

namespace {
// An action's own wish to be enabled; it is enabled only once its command exists.
constexpr const char* kWanted = "pellumarWanted";
constexpr const char* kBuilt = "pellumarBuilt";

void refreshEnabled(QAction* a) {
    a->setEnabled(a->property(kWanted).toBool() && a->property(kBuilt).toBool());
}
}  // namespace

void frmMain::buildCommands() {
    for (const MenuEntry& e : menuEntries()) {
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromLatin1(e.caption);
        const QString parentName = QString::fromLatin1(e.parent);
        QMenu* parentMenu = menus_.value(parentName);
        if (e.flags & CommandSeparatorBefore && parentMenu) {
            separators_.insert(name + QStringLiteral("_before"), parentMenu->addSeparator());
        }
        if (e.flags & CommandSubmenu) {
            QMenu* m =
                parentName.isEmpty() ? menuBar()->addMenu(caption) : parentMenu->addMenu(caption);
            m->setObjectName(name);
            m->menuAction()->setObjectName(name);
            menus_.insert(name, m);
            actions_.insert(name, m->menuAction());
        } else {
            auto* a = new QAction(caption, this);
            a->setObjectName(name);
            if (*e.shortcut) {
                a->setShortcut(QKeySequence::fromString(QString::fromLatin1(e.shortcut),
                                                        QKeySequence::PortableText));
            }
            a->setCheckable(e.flags & CommandCheckable);
            a->setChecked(e.flags & CommandChecked);
            a->setProperty(kWanted, !(e.flags & CommandDisabled));
            a->setProperty(kBuilt, false);
            refreshEnabled(a);
            parentMenu->addAction(a);
            actions_.insert(name, a);
        }
        if (e.flags & CommandSeparatorAfter && parentMenu) {
            separators_.insert(name, parentMenu->addSeparator());
        }
    }

    Toolbar = addToolBar(QStringLiteral("Toolbar"));
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setMovable(false);
    Toolbar->setIconSize(QSize(16, 16));
    for (const ToolEntry& t : mainToolbarEntries()) {
        const QString key = QString::fromLatin1(t.key);
        QAction* a = *t.command ? actions_.value(QString::fromLatin1(t.command)) : nullptr;
        if (!a) {
            a = new QAction(key, this);
            a->setObjectName(key);
            a->setCheckable(t.kind == ToolKind::Check);
            a->setProperty(kWanted, true);
            a->setProperty(kBuilt, false);
            refreshEnabled(a);
            actions_.insert(key, a);
        }
        a->setIcon(toolbarIcon(key));
        a->setToolTip(QString::fromLatin1(t.toolTip));
        toolActions_.insert(key, a);
        if (t.kind == ToolKind::DropDown) {
            auto* button = new QToolButton(Toolbar);
            button->setObjectName(QStringLiteral("Open"));
            button->setDefaultAction(a);
            button->setPopupMode(QToolButton::MenuButtonPopup);
            auto* dropDown = new QMenu(button);
            for (const DropDownEntry& d : openDropDownEntries()) {
                auto* entry = new QAction(QString::fromLatin1(d.caption), this);
                entry->setObjectName(QString::fromLatin1(d.key));
                entry->setProperty(kWanted, true);
                entry->setProperty(kBuilt, false);
                refreshEnabled(entry);
                dropDown->addAction(entry);
                actions_.insert(QString::fromLatin1(d.key), entry);
            }
            button->setMenu(dropDown);
            Toolbar->addWidget(button);
        } else {
            Toolbar->addAction(a);
        }
        if (t.separatorAfter) {
            Toolbar->addSeparator();
        }
    }
    // The Row Col Control and the row-move buttons sit at the right of the toolbar row.
    auto* spacer = new QWidget(Toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Toolbar->addWidget(spacer);
    QAction* rowColAction = Toolbar->addWidget(rowColControl);
    rowColAction->setObjectName(QStringLiteral("rowColControlAction"));
    rowColAction->setVisible(false);

    Toolbar2 = new QToolBar(QStringLiteral("Toolbar2"), Toolbar);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    Toolbar2->setIconSize(QSize(16, 16));
    for (const ToolEntry& t : moveToolbarEntries()) {
        const QString key = QString::fromLatin1(t.key);
        QAction* a = actions_.value(QString::fromLatin1(t.command));
        auto* button = new QToolButton(Toolbar2);
        button->setObjectName(key);
        button->setIcon(toolbarIcon(key));
        button->setToolTip(QString::fromLatin1(t.toolTip));
        button->setEnabled(a->isEnabled());
        connect(a, &QAction::changed, button, [button, a] { button->setEnabled(a->isEnabled()); });
        connect(button, &QToolButton::clicked, a, &QAction::trigger);
        Toolbar2->addWidget(button);
    }
    QAction* moveAction = Toolbar->addWidget(Toolbar2);
    moveAction->setObjectName(QStringLiteral("Toolbar2Action"));
    moveAction->setVisible(false);

    // The commands this window carries out itself.
    registerCommand(QStringLiteral("mnuExit"), [this] { mnuExit_Click(); });
    registerCommand(QStringLiteral("mnuMouseMode0"), [this] { mnuMouseMode_Click(0); });
    registerCommand(QStringLiteral("mnuMouseMode1"), [this] { mnuMouseMode_Click(1); });
    registerCommand(QStringLiteral("mnuDragDrop"), [this] { mnuDragDrop_Click(); });
    registerCommand(QStringLiteral("mnuAlternateColor"), [this] { mnuAlternateColor_Click(); });
    registerCommand(QStringLiteral("mnuGrid"), [this] { mnuGrid_Click(); });
    registerDocumentCommands();
    registerFormReaderCommands();
    registerColumnCommands();
}

void frmMain::registerCommand(const QString& name, std::function<void()> handler) {
    QAction* a = actions_.value(name);
    if (!a) {
        return;
    }
    a->setProperty(kBuilt, true);
    refreshEnabled(a);
    connect(a, &QAction::triggered, this, [a, handler = std::move(handler)](bool checked) {
        if (a->isCheckable()) {
            a->setChecked(!checked);  // the command itself decides the check mark
        }
        handler();
    });
}

void frmMain::setCommandEnabled(const QString& name, bool enabled) {
    if (QAction* a = actions_.value(name)) {
        if (menus_.contains(name)) {
            a->setEnabled(enabled);  // a submenu opens whatever its items' state
            return;
        }
        a->setProperty(kWanted, enabled);
        refreshEnabled(a);
    }
}

bool frmMain::commandEnabled(const QString& name) const {
    QAction* a = actions_.value(name);
    if (!a) {
        return false;
    }
    return menus_.contains(name) ? a->isEnabled() : a->property(kWanted).toBool();
}

bool frmMain::commandBuilt(const QString& name) const {
    QAction* a = actions_.value(name);
    return a && (menus_.contains(name) || a->property(kBuilt).toBool());
}

}  // namespace pellumar
