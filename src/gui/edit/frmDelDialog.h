// The Delete Record dialog: asks before the record button "Dlete this record" removes the
// current record. Yes removes it; No and Cancel (also the close box and Escape) leave it and set
// the delete-cancelled flag for the caller. The dialog only hides when it closes, so its check
// box "Do not ask me next time" keeps its state until the program ends; it is stored nowhere.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace pellumar {

class EditController;

class frmDelDialog : public QDialog {
    Q_OBJECT

public:
    frmDelDialog(QWidget& parent, EditController& edit);

    QLabel* imgPicture() const { return imgPicture_; }
    QLabel* lblMessage() const { return lblMessage_; }
    QCheckBox* chkAskDel() const { return chkAskDel_; }
    // 0 "&Yes", 1 "&No", 2 "&Cancel".
    QPushButton* cmdBtn(int index) const;

    void cmdBtn_Click(int index);

protected:
    // The close box and Escape answer as Cancel does.
    void reject() override;

private:
    EditController& edit_;
    QLabel* imgPicture_;
    QLabel* lblMessage_;
    QCheckBox* chkAskDel_;
    QList<QPushButton*> cmdBtn_;
};

}  // namespace pellumar
