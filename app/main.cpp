#include <QApplication>

#include "app/form1.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    Form1 window(QCoreApplication::applicationDirPath().toStdString());
    if (!window.Form_Load()) return 1;
    window.show();
    return application.exec();
}
