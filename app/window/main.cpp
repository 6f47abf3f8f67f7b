#include <QApplication>

#include "app/shared/default_folders.h"
#include "app/window/main_window.h"
#include "app/window/window_place.h"
#include "returns/run/run_memory.h"

// A server that cannot be reached at start-up leaves the window open with Retry.
int main(int argc, char* argv[]) {
    vat::ReturnLargeBlocksWhenFreed();
    QApplication application(argc, argv);
    // Lets the desktop match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName("vat-efile");
    MainWindow window(DefaultFolders(ThisProgramsSurroundings()));
    window.loadDataFiles();
    RestoreWindowPlace(window);
    window.show();
    const int status = QApplication::exec();
    RememberWindowPlace(window);
    return status;
}
