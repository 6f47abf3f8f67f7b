#include <QApplication>

#include "app/main_window.h"

// A server that cannot be reached at start-up leaves the window open with Retry.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    MainWindow window(QCoreApplication::applicationDirPath().toStdString());
    window.loadDataFiles();
    window.show();
    return application.exec();
}
