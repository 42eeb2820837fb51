// The Row Col Control: the boxes `txtRow` (the record count) and `txtCol` (the column count) with
// their captions. The boxes follow the document's table: every change of the record or column
// count shows at once, whichever command made it.
#pragma once

#include <QWidget>

class QLineEdit;

namespace pellumar {

class GridModel;

class RowColControl : public QWidget {
    Q_OBJECT

public:
    RowColControl(GridModel& model, QWidget* parent = nullptr);

    QLineEdit* txtRow() const { return txtRow_; }
    QLineEdit* txtCol() const { return txtCol_; }

private:
    void showRows();
    void showCols();

    GridModel& model_;
    QLineEdit* txtRow_;
    QLineEdit* txtCol_;
};

}  // namespace pellumar
