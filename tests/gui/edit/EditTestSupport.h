// Helpers shared by the editing tests: a main window whose table has cells named by their place.
#pragma once

#include <memory>

#include "TestWindow.h"
#include "gui/edit/EditController.h"

namespace pellumar::testing {

// "T<col>" in the title row, "r<row>c<col>" in the records.
inline QString named(int row, int col) {
    return row == 0 ? QStringLiteral("T%1").arg(col) : QStringLiteral("r%1c%2").arg(row).arg(col);
}

class EditFixture {
protected:
    std::unique_ptr<TestWindow> w_;

    GridModel& model() const { return (*w_)->document().model(); }
    EditController& edit() const { return (*w_)->editCommands(); }
    GridControl* fa() const { return (*w_)->fa(); }
    bool modified() const { return (*w_)->document().isModified(); }

    // A table of `records` records and `cols` columns, cells named by their place, unmodified.
    void fill(int records, int cols) {
        model().setCols(cols);
        model().setRows(records + 1);
        for (int r = 0; r <= records; ++r) {
            for (int c = 0; c < cols; ++c) {
                model().setText(r, c, named(r, c));
            }
        }
        (*w_)->document().MakeModified(false);
    }
};

}  // namespace pellumar::testing
