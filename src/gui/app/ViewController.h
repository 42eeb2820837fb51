// The View menu's switches of the window layout: the Form Panel (F2, and the close box on its
// frame), the Drop Box (a preference, `EmailParser`), and the Row Col Control and the row-move
// buttons in the toolbar row. Each keeps its menu item's check mark.
#pragma once

#include <QObject>

#include <cstdint>

class QAbstractButton;
class QAction;

namespace pellumar {

class CommandRegistry;
class FormPanelController;
class MainLayout;

class ViewController : public QObject {
    Q_OBJECT

public:
    // `rowColControl` and `moveControl` are the toolbar row's actions that show the Row Col
    // Control and the row-move toolbar.
    ViewController(MainLayout& layout, CommandRegistry& commands, FormPanelController& formPanel,
                   QAction& rowColControl, QAction& moveControl, QAbstractButton& closeBox,
                   QObject* parent = nullptr);

    void mnuViewFb_Click();
    void imgClose_Click();
    void mnuEmailParser_Click();
    void mnuRowCol_Click();
    void mnuMoveControl_Click();

    // The Drop Box switch as stored: nonzero shows the Drop Box. Setting it (at start-up) shows
    // or hides the Drop Box row and sets the menu's check mark; the value itself is kept as
    // given, so that it is stored back unchanged.
    int16_t EmailParser() const { return emailParser_; }
    void setEmailParser(int16_t value);

private:
    void showFormPanel(bool shown);

    MainLayout& layout_;
    CommandRegistry& commands_;
    FormPanelController& formPanel_;
    QAction& rowColControl_;
    QAction& moveControl_;
    int16_t emailParser_ = 1;
};

}  // namespace pellumar
