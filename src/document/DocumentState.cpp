// What the main window knows about the document besides its cells: its file and kind, whether it
// has unsaved changes, New and Save, the save-changes prompts and the set-up after a load.
#include "app/Prompter.h"
#include "app/frmMain.h"
#include "document/DocumentPaths.h"
#include "document/NativeFile.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace pellumar {

void frmMain::MakeModified(bool bWhat) {
    IsModified = bWhat;
    setCommandEnabled(QStringLiteral("mnuSave"), bWhat);  // the toolbar's Save shares it
}

bool frmMain::confirmReplace(const QString& caption) {
    if (!IsModified) {
        return true;
    }
    const auto answer = prompter().message(
        this, Prompter::Icon::Question, caption,
        QStringLiteral("Changes have been made. Do you want to save the changes?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        // Going on after a save that did not happen would throw the changes away.
        return mnuSave_Click();
    }
    return answer == QMessageBox::No;
}

void frmMain::mnuNew_Click() {
    if (!confirmReplace(QStringLiteral("New"))) {
        return;
    }
    fa->setCols(0);  // empties the table
    fa->setRows(0);
    SetDefaults();
    fa->setCols(10);
    fa->setRows(21);
    txtCol->setText(QStringLiteral("10"));
    txtRow->setText(QStringLiteral("20"));
    RefreshDocumentView();
    setWindowTitle(QStringLiteral("Pellumar -- Untitled.plm"));
    CurrentFile = untitledPath();
    i_FileType = 2;
    IsNewDocument = true;
    fileEncoding = TextEncoding::Utf8;
    MakeModified(false);
    ComboLists = QStringList(fa->cols(), QString());
}

bool frmMain::mnuSave_Click() {
    if (i_FileType == 3 || i_FileType == 4) {
        const auto saved = saveDelimited(fa->grid()->table(), CurrentFile,
                                         i_FileType == 3 ? u',' : u'\t', fileEncoding);
        if (!saved) {
            prompter().inform(this, Prompter::Icon::Critical, QStringLiteral("Save"),
                              saved.message());
            return false;
        }
        fileEncoding = saved.value();
        prompter().inform(this, Prompter::Icon::Information, QStringLiteral("Pellumar"),
                          QStringLiteral("Use 'Save As...' Pellumar(*.plm) from the 'File' menu "
                                         "if you want to save data as a RichText Pellumar file "
                                         "format."));
        MakeModified(false);
        return true;
    }
    const bool isUntitled = CurrentFile.compare(untitledPath(), Qt::CaseInsensitive) == 0;
    if (isUntitled && QFileInfo::exists(CurrentFile)) {
        const auto answer =
            prompter().message(this, Prompter::Icon::Question, QStringLiteral("Save"),
                               QStringLiteral("Do you want to overwrite ") + CurrentFile + u'?',
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            return mnuSaveAsPLM_Click();
        }
    }
    const auto saved = saveNative(fa->grid()->table(), CurrentFile);
    if (!saved) {
        prompter().inform(this, Prompter::Icon::Critical, QStringLiteral("Save"), saved.message());
        return false;
    }
    MakeModified(false);
    return true;
}

void frmMain::RefreshDocumentView() {
    setWindowTitle(QStringLiteral("Pellumar [") + lastDialogFile + u']');
    fb->setRows(fa->cols() + 1);
    FillFormPanelTitles();
    fa_Click();
}

void frmMain::AfterFileLoad() {
    RefreshDocumentView();
    fa->setSelectionKind(GridControl::SelectionByRow);
    fa_Click();
    mnuMouseMode_Click(0);
    MakeModified(false);
    txtRow->setText(QString::number(fa->rows() - 1));
    txtCol->setText(QString::number(fa->cols()));
    ComboLists = QStringList(fa->cols(), QString());
}

}  // namespace pellumar
