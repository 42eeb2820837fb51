// The Separator Character Setting dialog: chooses the separator the Drop Box expects between a
// name and its value (":", "=" or a text of the user's own, such as "CV" or "TB").
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pellumar {

class FormReaderController;

class frmConvChr : public QDialog {
    Q_OBJECT

public:
    // Shows and sets the setting of `reader`.
    frmConvChr(QWidget& parent, FormReaderController& reader);

    // Controls.
    QList<QRadioButton*> optChr;  // 0 colon, 1 equal sign, 2 other
    QLineEdit* txtConvChr = nullptr;
    QList<QLabel*> lblExample;  // the first name line and the last name line
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void optChr_Click(int index);
    void txtConvChr_Change();
    void txtConvChr_GotFocus();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The option chosen, -1 before Form_Load.
    int selectedOption() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showExamples(const QString& separator);

    FormReaderController& reader_;
};

}  // namespace pellumar
