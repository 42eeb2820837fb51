// The program's Prompter: Qt's message boxes and standard dialogs.
#pragma once

#include "gui/services/Prompter.h"

namespace pellumar {

class QtPrompter : public Prompter {
public:
    QMessageBox::StandardButton message(QWidget* parent, Icon icon, const QString& caption,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget* parent, const FileDialogOptions& options) override;
    QString saveFileName(QWidget* parent, const FileDialogOptions& options) override;
    QColor color(QWidget* parent, const QColor& initial) override;
    bool print(QWidget* parent, QPrinter* printer) override;
    bool printPreview(QWidget* parent, const PageSource& pages, QPrinter* printer) override;
    bool chooseMailSources(QWidget* parent, MailSourceChoice& choice) override;
    void report(QWidget* parent, Icon icon, const QString& caption, const QString& text,
                const QStringList& details) override;
    int choice(QWidget* parent, const QString& caption, const QString& text,
               const QStringList& items, int current) override;
};

}  // namespace pellumar
