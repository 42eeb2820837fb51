#include <QApplication>

#include "grid/GridControl.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pellumar::GridControl grid;
    grid.setFixedRows(1);
    grid.setCols(9);
    grid.setRows(21);
    grid.show();
    return QApplication::exec();
}
