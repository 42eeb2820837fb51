// A wide table for the window's benchmarks: titles "Field <col>" and values "value <row>/<col>",
// loaded into the main window as a file load leaves it.
#pragma once

#include <QCoreApplication>

#include "core/table/Table.h"
#include "gui/app/frmMain.h"
#include "gui/document/FileController.h"
#include "gui/grid/GridControl.h"

namespace pellumar::bench {

inline void loadWideTable(frmMain& window, int cols, int records) {
    Table table(records + 1, cols);
    for (int c = 0; c < cols; ++c) {
        table.setText(0, c, QStringLiteral("Field %1").arg(c));
        for (int r = 1; r <= records; ++r) {
            table.setText(r, c, QStringLiteral("value %1/%2").arg(r).arg(c));
        }
    }
    window.fa()->grid()->replaceTable(std::move(table));
    window.fileCommands().AfterFileLoad();
    QCoreApplication::processEvents();
}

}  // namespace pellumar::bench
