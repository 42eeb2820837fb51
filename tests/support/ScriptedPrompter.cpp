#include "ScriptedPrompter.h"

#include <QPrinter>

#include "gui/services/PageSource.h"

namespace pellumar {

QVariant ScriptedPrompter::next() {
    if (answers_.empty()) {
        ++unanswered_;
        return {};
    }
    QVariant v = answers_.front();
    answers_.pop_front();
    return v;
}

QMessageBox::StandardButton ScriptedPrompter::message(QWidget*, Icon icon, const QString& caption,
                                                      const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton) {
    asked_.push_back({Kind::Message, icon, caption, text, buttons, defaultButton, {}});
    const QVariant v = next();
    if (!v.isValid()) {
        return buttons.testFlag(QMessageBox::Cancel)
                   ? QMessageBox::Cancel
                   : (buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
    }
    return static_cast<QMessageBox::StandardButton>(v.toInt());
}

QString ScriptedPrompter::openFileName(QWidget*, const FileDialogOptions& options) {
    Question q;
    q.kind = Kind::OpenFile;
    q.caption = options.caption;
    q.file = options;
    asked_.push_back(q);
    return next().toString();
}

QString ScriptedPrompter::saveFileName(QWidget*, const FileDialogOptions& options) {
    Question q;
    q.kind = Kind::SaveFile;
    q.caption = options.caption;
    q.file = options;
    asked_.push_back(q);
    return next().toString();
}

QColor ScriptedPrompter::color(QWidget*, const QColor&) {
    Question q;
    q.kind = Kind::Color;
    asked_.push_back(q);
    return next().value<QColor>();
}

bool ScriptedPrompter::print(QWidget*, QPrinter*) {
    Question q;
    q.kind = Kind::Print;
    asked_.push_back(q);
    return next().toBool();
}

bool ScriptedPrompter::printPreview(QWidget*, const PageSource& pages, QPrinter* printer) {
    Question q;
    q.kind = Kind::Preview;
    q.pages = pages.pageCount();
    q.paper = pages.paperTwips();
    asked_.push_back(q);
    const QString path = next().toString();
    if (path.isEmpty()) {
        return false;
    }
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return true;
}

bool ScriptedPrompter::chooseMailSources(QWidget*, MailSourceChoice& choice) {
    Question q;
    q.kind = Kind::MailSources;
    q.sources = choice;
    asked_.push_back(q);
    const QVariantList answer = next().toList();
    if (answer.size() != 2 || answer[0].toStringList().isEmpty()) {
        return false;
    }
    choice.paths = answer[0].toStringList();
    choice.mailColumns = answer[1].toBool();
    return true;
}

void ScriptedPrompter::report(QWidget*, Icon icon, const QString& caption, const QString& text,
                              const QStringList& details) {
    Question q;
    q.kind = Kind::Report;
    q.icon = icon;
    q.caption = caption;
    q.text = text;
    q.buttons = QMessageBox::Ok;
    q.defaultButton = QMessageBox::Ok;
    q.details = details;
    asked_.push_back(q);
    next();
}

int ScriptedPrompter::choice(QWidget*, const QString& caption, const QString& text,
                             const QStringList& items, int) {
    Question q;
    q.kind = Kind::Choice;
    q.caption = caption;
    q.text = text;
    q.items = items;
    asked_.push_back(q);
    const QVariant v = next();
    return v.isValid() ? v.toInt() : -1;
}

}  // namespace pellumar
