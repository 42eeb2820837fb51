// A Prompter for tests: answers come from a script set up in code, and every question asked is
// recorded so that tests can check captions, texts, buttons and dialog options.
#pragma once

#include "gui/services/Prompter.h"

#include <QList>
#include <QSize>
#include <QVariant>

#include <deque>

namespace pellumar {

class ScriptedPrompter : public Prompter {
public:
    enum class Kind {
        Message,
        OpenFile,
        SaveFile,
        Color,
        Print,
        Preview,
        MailSources,
        Report,
        Choice
    };

    struct Question {
        Kind kind = Kind::Message;
        Icon icon = Icon::None;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        FileDialogOptions file;
        int pages = 0;  // a preview: its page count and paper (twips)
        QSize paper;
        QStringList details;       // a report's details
        MailSourceChoice sources;  // a mail source choice as it came in
        QStringList items;         // a choice: the items offered
    };

    // Queue the next answers, in the order the questions will come.
    void answerMessage(QMessageBox::StandardButton button) { answers_.push_back(button); }
    void answerOpen(const QString& path) { answers_.push_back(path); }
    void answerSave(const QString& path) { answers_.push_back(path); }
    void answerColor(const QColor& color) { answers_.push_back(color); }
    void answerPrint(bool accept) { answers_.push_back(accept); }
    // A preview answered by printing to this PDF file; "" closes the preview.
    void answerPreview(const QString& pdfPath) { answers_.push_back(pdfPath); }
    // A choice answered with the item of this index; -1 cancels it.
    void answerChoice(int index) { answers_.push_back(index); }

    // A form-post import's choice: these sources, with or without the mail columns; an empty
    // list cancels.
    void answerMailSources(const QStringList& paths, bool mailColumns) {
        answers_.push_back(QVariantList{paths, mailColumns});
    }

    const QList<Question>& asked() const { return asked_; }
    const Question& last() const { return asked_.constLast(); }
    // Questions that came with no scripted answer left (each got Cancel, "" or invalid).
    int unanswered() const { return unanswered_; }
    bool allAnswersUsed() const { return answers_.empty(); }
    void reset() {
        asked_.clear();
        answers_.clear();
        unanswered_ = 0;
    }

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

private:
    QVariant next();

    QList<Question> asked_;
    std::deque<QVariant> answers_;
    int unanswered_ = 0;
};

}  // namespace pellumar
