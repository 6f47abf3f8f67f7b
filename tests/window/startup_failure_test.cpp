#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "app/main_window.h"
#include "window/recording_presenter.h"
#include "window/scratch_settings.h"

// Start-up against a data source whose server does not answer.
class StartupFailureTest : public QObject {
    Q_OBJECT

private slots:
    void unreachableServerEndsTheProgram() {
        QTemporaryDir odbcFolder;
        std::ofstream(odbcFolder.filePath("odbc.ini").toStdString())
            << "[edb]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbca.so\n"
               "Servername=127.0.0.1\nPort=1\nDatabase=edb\n";
        std::ofstream(odbcFolder.filePath("odbcinst.ini").toStdString());
        qputenv("ODBCSYSINI", odbcFolder.path().toLocal8Bit());
        qputenv("ODBCINI", odbcFolder.filePath("odbc.ini").toLocal8Bit());

        const ScratchSettings settings;
        QTemporaryDir programFolder;
        auto messages = std::make_unique<RecordingPresenter>();
        RecordingPresenter& shown = *messages;
        MainWindow window(std::filesystem::path(programFolder.path().toStdString()),
                          std::move(messages));

        QVERIFY(!window.loadDataFiles());
        QCOMPARE(shown.texts, QStringList{"UNABLE TO CONNECT"});
        QCOMPARE(shown.criticalFlags, QList<bool>{false});
    }
};

QTEST_MAIN(StartupFailureTest)
#include "startup_failure_test.moc"
