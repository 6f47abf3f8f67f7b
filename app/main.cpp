#include <QApplication>

#include "app/default_folders.h"
#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Lets the desktop match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName("vat-efile");
    MainWindow window(DefaultFolders(ThisProgramsSurroundings()));
    if (!window.loadDataFiles()) return 1;
    window.show();
    return application.exec();
}
