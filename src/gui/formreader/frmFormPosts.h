// The Import Form Posts dialog: the mailboxes, message files and folders to read, and whether the
// records start with the mail columns (Date, From, Subject, Message-ID).
#pragma once

#include <QDialog>

#include "gui/services/Prompter.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace pellumar {

class frmFormPosts : public QDialog {
    Q_OBJECT

public:
    // Starts with the choice's sources, check box and folder.
    frmFormPosts(QWidget* parent, const MailSourceChoice& choice);

    MailSourceChoice choice() const;
    // Adds sources to the list (each once).
    void addSources(const QStringList& paths);

    // Controls.
    QListWidget* lstSources = nullptr;
    QPushButton* cmdAddFiles = nullptr;
    QPushButton* cmdAddFolder = nullptr;
    QPushButton* cmdRemove = nullptr;
    QCheckBox* chkMailColumns = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void cmdAddFiles_Click();
    void cmdAddFolder_Click();
    void cmdRemove_Click();
    void updateButtons();

    QString initialDir_;
};

}  // namespace pellumar
