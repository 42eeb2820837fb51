// The Row Col Control: the boxes `txtRow` (the record count) and `txtCol` (the column count)
// with their spin controls `UpDownRow` and `UpDownCol` and their captions.
//
// The boxes follow the document's table: every change of the record or column count shows at
// once, whichever command made it. They take digits and Backspace; Enter applies a box to the
// table (without marking the document modified); any other key is dropped with a beep. A
// spinner step changes the box by one within its limits, applies it and marks the document
// modified.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace pellumar {

class Document;

class RowColControl : public QWidget {
    Q_OBJECT

public:
    // The spinners stop at these counts.
    static constexpr int kSpinnerMaxRecords = 200001;
    static constexpr int kSpinnerMaxCols = 201;
    // Enter applies no more records than this; the column limit is the file forms' own.
    static constexpr int kMaxRecords = 10000000;

    explicit RowColControl(Document& document, QWidget* parent = nullptr);

    QLineEdit* txtRow() const { return txtRow_; }
    QLineEdit* txtCol() const { return txtCol_; }
    QWidget* UpDownRow() const { return upDownRow_; }
    QWidget* UpDownCol() const { return upDownCol_; }

    // A key typed into a box: true when the box takes it as typed.
    bool txtRow_KeyPress(int keyAscii);
    bool txtCol_KeyPress(int keyAscii);

    void UpDownRow_UpClick() { stepRows(+1); }
    void UpDownRow_DownClick() { stepRows(-1); }
    void UpDownCol_UpClick() { stepCols(+1); }
    void UpDownCol_DownClick() { stepCols(-1); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPress(QLineEdit* box, int keyAscii);
    void applyRows();
    void applyCols();
    void stepRows(int step);
    void stepCols(int step);
    void showRows();
    void showCols();

    Document& document_;
    QLineEdit* txtRow_;
    QLineEdit* txtCol_;
    QWidget* upDownRow_;
    QWidget* upDownCol_;
};

}  // namespace pellumar
