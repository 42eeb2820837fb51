// The File menu's document commands: Save As to the native grid file.
#include "app/Prompter.h"
#include "app/frmMain.h"
#include "document/DocumentPaths.h"
#include "document/NativeFile.h"

namespace pellumar {

void frmMain::registerDocumentCommands() {
    registerCommand(QStringLiteral("mnuNew"), [this] { mnuNew_Click(); });
    registerCommand(QStringLiteral("mnuSave"), [this] { mnuSave_Click(); });
    registerCommand(QStringLiteral("mnuSaveAsPLM"), [this] { mnuSaveAsPLM_Click(); });
}

bool frmMain::mnuSaveAsPLM_Click() {
    FileDialogOptions options;
    options.filter = QStringLiteral("Pellumar Files (*.plm)|*.plm");
    options.overwritePrompt = true;
    options.defaultExt = QStringLiteral("plm");
    const QString chosen = prompter().saveFileName(this, options);
    if (chosen.isEmpty()) {
        return false;
    }
    const QString path = withDefaultExtension(chosen, QStringLiteral("plm"));
    const auto saved = saveNative(fa->grid()->table(), path);
    if (!saved) {
        // The title and the document's state stay as they were: nothing was saved.
        prompter().inform(this, Prompter::Icon::Critical, QStringLiteral("Save As"),
                          saved.message());
        return false;
    }
    setWindowTitle(QStringLiteral("Pellumar -- ") + path);
    MakeModified(false);
    return true;
}

}  // namespace pellumar
