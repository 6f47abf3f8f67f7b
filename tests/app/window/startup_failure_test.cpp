#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "app/window/main_window.h"
#include "app/window/recording_presenter.h"
#include "app/window/scratch_settings.h"

namespace {

// The port of the test server, from the data source the test run set up; empty without one.
QString TestServerPort() {
    QFile odbcIni(qEnvironmentVariable("ODBCINI"));
    if (!odbcIni.open(QIODevice::ReadOnly)) return {};
    const auto port = QRegularExpression("^Port=(\\d+)$", QRegularExpression::MultilineOption)
                          .match(QString::fromUtf8(odbcIni.readAll()));
    return port.captured(1);
}

}  // namespace

// Start-up while the server cannot be reached, then Retry once it can. The data source names
// no server, so the driver takes it from PGHOST, which unixODBC does not keep between connects
// as it keeps what it read from odbc.ini.
class StartupFailureTest : public QObject {
    Q_OBJECT

private slots:
    void unreachableServerLeavesTheWindowOpenWithRetry() {
        const QString port = TestServerPort();
        QTemporaryDir odbcFolder;
        std::ofstream(odbcFolder.filePath("odbc.ini").toStdString())
            << "[edb]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbca.so\nPort="
            << (port.isEmpty() ? "1" : port.toStdString()) << "\nDatabase=edb\n";
        std::ofstream(odbcFolder.filePath("odbcinst.ini").toStdString());
        qputenv("ODBCSYSINI", odbcFolder.path().toLocal8Bit());
        qputenv("ODBCINI", odbcFolder.filePath("odbc.ini").toLocal8Bit());
        qputenv("PGHOST", odbcFolder.filePath("no-server-here").toLocal8Bit());

        const ScratchSettings settings;
        QTemporaryDir programFolder;
        auto messages = std::make_unique<RecordingPresenter>();
        RecordingPresenter& shown = *messages;
        MainWindow window(std::filesystem::path(programFolder.path().toStdString()),
                          std::move(messages));

        QVERIFY(!window.loadDataFiles());
        QCOMPARE(shown.texts, QStringList{"UNABLE TO CONNECT"});
        QCOMPARE(shown.criticalFlags, QList<bool>{true});
        QVERIFY2(shown.details.first().contains("no-server-here"),
                 qPrintable(shown.details.first()));
        auto* retry = window.findChild<QPushButton*>("btn_Retry");
        QVERIFY(retry->isVisibleTo(&window));
        QVERIFY(!window.findChild<QPushButton*>("Command1")->isVisibleTo(&window));

        if (port.isEmpty()) QSKIP("No test server (ODBCINI is not set) to retry against");
        qputenv("PGHOST", "127.0.0.1");
        QTest::mouseClick(retry, Qt::LeftButton);
        QCOMPARE(shown.texts.size(), 1);
        QVERIFY(!retry->isVisibleTo(&window));
        QVERIFY(window.findChild<QPushButton*>("Command1")->isVisibleTo(&window));
        QVERIFY(window.findChild<QComboBox*>("Combo2")->count() > 0);
        QCOMPARE(window.findChild<QComboBox*>("Combo1")->count(), 12);
    }
};

QTEST_MAIN(StartupFailureTest)
#include "startup_failure_test.moc"
