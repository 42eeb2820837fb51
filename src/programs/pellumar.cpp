#include "gui/app/modMain.h"

int main(int argc, char** argv) {
    return pellumar::modMain::Main(argc, argv);
}
