#include "gui/formreader/DropBox.h"

#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

namespace pellumar {

DropBox::DropBox(QWidget* parent) : QPlainTextEdit(parent) {
    setAcceptDrops(true);
}

QString DropBox::firstFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

QStringList DropBox::localFiles(const QMimeData* data) {
    QStringList files;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                files << url.toLocalFile();
            }
        }
    }
    return files;
}

bool DropBox::canTake(const QMimeData* data) {
    return data && (data->hasText() || data->hasFormat(QStringLiteral("message/rfc822")) ||
                    !firstFile(data).isEmpty());
}

void DropBox::dragEnterEvent(QDragEnterEvent* event) {
    if (canTake(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropBox::dragMoveEvent(QDragMoveEvent* event) {
    if (canTake(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropBox::dropEvent(QDropEvent* event) {
    if (!canTake(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit dropped(event->mimeData());
}

void DropBox::showStart() {
    moveCursor(QTextCursor::Start);
    horizontalScrollBar()->setValue(0);
}

void DropBox::insertFromMimeData(const QMimeData* source) {
    QPlainTextEdit::insertFromMimeData(source);
    showStart();
}

bool DropBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste)) {
            // The box takes the key itself, so that the window's shortcut does not run twice.
            event->accept();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void DropBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cut)) {
        emit cutKeyPressed();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        emit pasteKeyPressed();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DropBox::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    clickFocus_ = event->reason() == Qt::MouseFocusReason;
    emit focusGained();
}

void DropBox::mousePressEvent(QMouseEvent* event) {
    if (clickFocus_) {
        return;  // the click that brought the focus leaves the whole text selected
    }
    QPlainTextEdit::mousePressEvent(event);
}

void DropBox::mouseReleaseEvent(QMouseEvent* event) {
    if (clickFocus_) {
        clickFocus_ = false;
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

}  // namespace pellumar
