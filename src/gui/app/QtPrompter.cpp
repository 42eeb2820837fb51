#include "gui/app/QtPrompter.h"

#include "gui/formreader/frmFormPosts.h"
#include "gui/print/PrintPreview.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

namespace pellumar {

namespace {

QMessageBox::Icon qtIcon(Prompter::Icon icon) {
    switch (icon) {
        case Prompter::Icon::Information:
            return QMessageBox::Information;
        case Prompter::Icon::Question:
            return QMessageBox::Question;
        case Prompter::Icon::Exclamation:
            return QMessageBox::Warning;
        case Prompter::Icon::Critical:
            return QMessageBox::Critical;
        case Prompter::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString fileDialog(QWidget* parent, const FileDialogOptions& options, bool save) {
    QFileDialog dialog(parent, options.caption);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFileFilter(options.filter));
    if (!options.defaultExt.isEmpty()) {
        dialog.setDefaultSuffix(bareExtension(options.defaultExt));
    }
    if (!options.initialDir.isEmpty() && QDir(options.initialDir).exists()) {
        dialog.setDirectory(options.initialDir);
    }
    // A bare pattern as the initial name only selects the filter.
    if (!options.initialName.isEmpty() && !options.initialName.contains(u'*')) {
        dialog.selectFile(options.initialName);
    }
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

}  // namespace

QMessageBox::StandardButton QtPrompter::message(QWidget* parent, Icon icon, const QString& caption,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(qtIcon(icon), caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtPrompter::openFileName(QWidget* parent, const FileDialogOptions& options) {
    return fileDialog(parent, options, false);
}

QString QtPrompter::saveFileName(QWidget* parent, const FileDialogOptions& options) {
    return fileDialog(parent, options, true);
}

QColor QtPrompter::color(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent);
}

bool QtPrompter::print(QWidget* parent, QPrinter* printer) {
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompter::printPreview(QWidget* parent, const PageSource& pages, QPrinter* printer) {
    PrintPreview preview(pages, parent);
    preview.setPrintHandler([this, &preview, printer] { return print(&preview, printer); });
    preview.setPdfHandler([this, &preview, printer] {
        FileDialogOptions options;
        options.caption = QStringLiteral("Save as PDF");
        options.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
        options.defaultExt = QStringLiteral("pdf");
        options.initialName = QStringLiteral("*.pdf");
        options.overwritePrompt = true;
        const QString path = saveFileName(&preview, options);
        if (path.isEmpty()) {
            return false;
        }
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return true;
    });
    return preview.exec() == QDialog::Accepted;
}

bool QtPrompter::chooseMailSources(QWidget* parent, MailSourceChoice& choice) {
    frmFormPosts dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    choice = dialog.choice();
    return true;
}

void QtPrompter::report(QWidget* parent, Icon icon, const QString& caption, const QString& text,
                        const QStringList& details) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, parent);
    if (!details.isEmpty()) {
        box.setDetailedText(details.join(u'\n'));
    }
    box.exec();
}

int QtPrompter::choice(QWidget* parent, const QString& caption, const QString& text,
                       const QStringList& items, int current) {
    bool ok = false;
    const QString picked = QInputDialog::getItem(
        parent, caption, text, items, std::clamp(current, 0, int(items.size()) - 1), false, &ok);
    return ok ? static_cast<int>(items.indexOf(picked)) : -1;
}

}  // namespace pellumar
