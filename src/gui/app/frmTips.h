// The Tip of the Day window: one of the program's 41 tips, with buttons to step through them and
// the check box "Show Tips at Startup". It opens on a tip chosen at random; Next Tip then starts
// at the first tip and PreviousTip at the last, and both wrap around.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace pellumar {

class frmTips : public QDialog {
    Q_OBJECT

public:
    explicit frmTips(QWidget* parent = nullptr);

    static constexpr int kTipCount = 41;
    // Tip `index` (1 to 41) as the program keeps it; empty for any other index.
    static QString tip(int index);

    // The tip last stepped to with Next Tip or PreviousTip; 0 until then.
    int currentTip() const { return current_; }
    // The tip the window shows, by its index.
    int shownTip() const { return shown_; }

    QLabel* tipText() const { return tipText_; }
    QCheckBox* chkShowTips() const { return chkShowTips_; }
    QPushButton* cmdPrevious() const { return cmdPrevious_; }
    QPushButton* cmdNext() const { return cmdNext_; }
    QPushButton* cmdOK() const { return cmdOK_; }

    void cmdNext_Click();
    void cmdPrevious_Click();
    // Keeps the check box's choice for the next start-up and closes the window.
    void cmdOK_Click();

    // However the window closes, the check box's choice is kept.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void showTip(int index);

    QLabel* tipText_;
    QCheckBox* chkShowTips_;
    QPushButton* cmdPrevious_;
    QPushButton* cmdNext_;
    QPushButton* cmdOK_;
    int current_ = 0;
    int shown_ = 0;
    bool centred_ = false;
};

}  // namespace pellumar
