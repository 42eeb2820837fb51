// The Drop Box: a text box that takes dropped text and dropped files. A drop replaces its whole
// text (the window decides with what); the first click into it selects the whole text. After a
// paste or a drop it shows the start of the text.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>

class QMimeData;

namespace pellumar {

class DropBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit DropBox(QWidget* parent = nullptr);

    // True for what the box takes: plain text, a message (message/rfc822), or a list naming at
    // least one local file.
    static bool canTake(const QMimeData* data);
    // The local path of the first dropped file, "" when the drop carries no file.
    static QString firstFile(const QMimeData* data);
    // The local paths of the dropped files, in their order.
    static QStringList localFiles(const QMimeData* data);

    // Scrolls to the start of the text, with the cursor there: a form text ends with a line
    // break, and the box, one line tall, would show the empty line after it.
    void showStart();

signals:
    // Something the box takes was dropped on it; the drop is reported to its source as a copy.
    void dropped(const QMimeData* data);
    void focusGained();
    // The keys of Cut and Paste (Ctrl+X, Ctrl+V and their kin) were pressed in the box; the box
    // leaves them to the window's commands instead of cutting or pasting a part of its text.
    void cutKeyPressed();
    void pasteKeyPressed();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool clickFocus_ = false;  // the press that gave the focus keeps the whole text selected
};

}  // namespace pellumar
