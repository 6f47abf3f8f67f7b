#include <QApplication>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    MainWindow window(QCoreApplication::applicationDirPath().toStdString());
    if (!window.loadDataFiles()) return 1;
    window.show();
    return application.exec();
}
