#include "gui/app/ViewController.h"

#include "gui/app/MainLayout.h"
#include "gui/grid/FormPanelController.h"
#include "gui/services/CommandRegistry.h"

#include <QAbstractButton>
#include <QAction>

namespace pellumar {

ViewController::ViewController(MainLayout& layout, CommandRegistry& commands,
                               FormPanelController& formPanel, QAction& rowColControl,
                               QAction& moveControl, QAbstractButton& closeBox, QObject* parent)
    : QObject(parent),
      layout_(layout),
      commands_(commands),
      formPanel_(formPanel),
      rowColControl_(rowColControl),
      moveControl_(moveControl) {
    commands.registerCommand(CommandId::mnuViewFb, [this] { mnuViewFb_Click(); });
    commands.registerCommand(CommandId::mnuEmailParser, [this] { mnuEmailParser_Click(); });
    commands.registerCommand(CommandId::mnuRowCol, [this] { mnuRowCol_Click(); });
    commands.registerCommand(CommandId::mnuMoveControl, [this] { mnuMoveControl_Click(); });
    closeBox.setEnabled(true);
    connect(&closeBox, &QAbstractButton::clicked, this, &ViewController::imgClose_Click);
    // The switches not stored start as the menu shows them.
    commands.setCommandChecked(CommandId::mnuViewFb, layout.isFormPanelShown());
    rowColControl.setVisible(commands.commandChecked(CommandId::mnuRowCol));
    moveControl.setVisible(commands.commandChecked(CommandId::mnuMoveControl));
}

void ViewController::mnuViewFb_Click() {
    showFormPanel(!commands_.commandChecked(CommandId::mnuViewFb));
}

void ViewController::imgClose_Click() {
    if (layout_.isFormPanelShown()) {
        showFormPanel(false);
    }
}

void ViewController::showFormPanel(bool shown) {
    layout_.setFormPanelShown(shown);
    commands_.setCommandChecked(CommandId::mnuViewFb, shown);
    if (shown) {
        formPanel_.fa_Click();  // the panel shows the current record again
    }
}

void ViewController::mnuEmailParser_Click() {
    const bool shown = !commands_.commandChecked(CommandId::mnuEmailParser);
    emailParser_ = shown ? 1 : 0;
    commands_.setCommandChecked(CommandId::mnuEmailParser, shown);
    layout_.setDropBoxShown(shown);
}

void ViewController::setEmailParser(int16_t value) {
    emailParser_ = value;
    commands_.setCommandChecked(CommandId::mnuEmailParser, value != 0);
    layout_.setDropBoxShown(value != 0);
}

void ViewController::mnuRowCol_Click() {
    const bool shown = !commands_.commandChecked(CommandId::mnuRowCol);
    commands_.setCommandChecked(CommandId::mnuRowCol, shown);
    rowColControl_.setVisible(shown);
}

void ViewController::mnuMoveControl_Click() {
    const bool shown = !commands_.commandChecked(CommandId::mnuMoveControl);
    commands_.setCommandChecked(CommandId::mnuMoveControl, shown);
    moveControl_.setVisible(shown);
}

}  // namespace pellumar
