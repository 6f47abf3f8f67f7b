#include "app/main_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "window/recording_presenter.h"
#include "window/scratch_settings.h"

namespace {

constexpr int kDesignedWidthTwips = 8790;
constexpr int kDesignedHeightTwips = 12435;

int Pixels(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

}  // namespace

// The window after a real start-up against the test server, driven by its controls' names.
class MainWindowTest : public QObject {
    Q_OBJECT

private:
    template <typename Control>
    Control* Find(const char* name) {
        auto* control = window_->findChild<Control*>(name);
        if (!control) qFatal("The window has no control named %s", name);
        return control;
    }

    void SelectDataFile(const QString& name) {
        auto* combo = Find<QComboBox>("Combo2");
        const int index = combo->findText(name);
        QVERIFY2(index >= 0, qPrintable(name + " is not in the data-file list"));
        combo->setCurrentIndex(index);
    }

    ScratchSettings settings_;
    QTemporaryDir programFolder_;
    std::unique_ptr<MainWindow> window_;
    RecordingPresenter* messages_ = nullptr;

private slots:
    void initTestCase() {
        auto messages = std::make_unique<RecordingPresenter>();
        messages_ = messages.get();
        window_ = std::make_unique<MainWindow>(
            std::filesystem::path(programFolder_.path().toStdString()), std::move(messages));
        QVERIFY(window_->loadDataFiles());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void init() { messages_->texts.clear(); }

    void monthListInFinancialYearOrder() {
        auto* months = Find<QComboBox>("Combo1");
        const QStringList names{"APR", "MAY", "JUN", "JUL", "AUG", "SEP",
                                "OCT", "NOV", "DEC", "JAN", "FEB", "MAR"};
        const QList<int> numbers{4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3};
        QCOMPARE(months->count(), 12);
        for (int index = 0; index < months->count(); ++index) {
            QCOMPARE(months->itemText(index), names[index]);
            QCOMPARE(months->itemData(index).toInt(), numbers[index]);
        }
        QCOMPARE(months->currentText(), QString("APR"));
    }

    void startUpListsDataFilesAndSelectsTheFirst() {
        auto* dataFiles = Find<QComboBox>("Combo2");
        QStringList listed;
        for (int index = 0; index < dataFiles->count(); ++index)
            listed.append(dataFiles->itemText(index));
        QVERIFY(listed.indexOf("shop2013") >= 0);
        QVERIFY(listed.indexOf("shop2013") < listed.indexOf("shop2014"));
        for (const QString& name : listed)
            QVERIFY2(name != "edb" && name != "mgmtsvr" && !name.contains("template"),
                     qPrintable(name));

        QCOMPARE(dataFiles->currentIndex(), 0);
        const vat::FormState& state = window_->state();
        QCOMPARE(QString::fromStdString(state.SelectedDataFile), listed.first());
        QVERIFY(state.YearStart && state.YearEnd);
        QCOMPARE(Find<QLineEdit>("Text1")->text(),
                 QString::fromStdString(state.YearStart->DisplayText()));
        QCOMPARE(Find<QLineEdit>("Text2")->text(),
                 QString::fromStdString(state.YearEnd->DisplayText()));
    }

    void selectedDataFileShowsItsYear_data() {
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("yearStart");
        QTest::addColumn<QString>("yearEnd");
        QTest::newRow("shop2014") << "shop2014"
                                  << "01/04/2014"
                                  << "31/03/2015";
        QTest::newRow("shop2013") << "shop2013"
                                  << "01/04/2013"
                                  << "31/03/2014";
    }

    void selectedDataFileShowsItsYear() {
        QFETCH(QString, dataFile);
        QFETCH(QString, yearStart);
        QFETCH(QString, yearEnd);
        SelectDataFile(dataFile);
        QCOMPARE(Find<QLineEdit>("Text1")->text(), yearStart);
        QCOMPARE(Find<QLineEdit>("Text2")->text(), yearEnd);
    }

    void badTinIsFlaggedUntilAGoodOneIsSelected() {
        vat::FormState& state = window_->state();
        SelectDataFile("shop2013");
        SelectDataFile("shop2014");
        QCOMPARE(messages_->texts, QStringList{"YOUR TIN FOUND TO BE INCORRECT. CHECK THE SAME"});
        QCOMPARE(state.TinFlag, "NN");
        QCOMPARE(state.DealerTin, "29111111111");

        SelectDataFile("shop2013");
        QCOMPARE(messages_->texts.size(), 1);
        QCOMPARE(state.TinFlag, "");
        QCOMPARE(state.DealerTin, "29111111111");
    }

    void errorListStartsWithItsHeadingOnly() {
        auto* grid = Find<QTableWidget>("grd_Errors");
        QCOMPARE(grid->rowCount(), 0);
        QVERIFY(grid->isColumnHidden(0));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString("Type"));
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("Error"));
        QVERIFY(grid->horizontalHeader()->isVisible());
    }

    void generateIsRefusedWhileTheTinIsBad() {
        SelectDataFile("shop2014");
        messages_->texts.clear();
        auto* generate = Find<QPushButton>("Command1");
        QTest::mouseClick(generate, Qt::LeftButton);
        QCOMPARE(messages_->texts, QStringList{"INCORRECT TIN CAN NOT PROCEED"});
        QVERIFY(QDir(programFolder_.path()).isEmpty());
        QVERIFY(generate->isEnabled());
        QVERIFY(Find<QComboBox>("Combo2")->isEnabled());
    }

    void generateWithoutMonthMovesFocusToTheMonthList() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto* months = Find<QComboBox>("Combo1");
        months->setCurrentIndex(-1);
        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(months->hasFocus());
        QVERIFY(messages_->texts.isEmpty());
        months->setCurrentIndex(0);
    }

    void generateWritesTheMonthsFilesAndSaysOver() {
        QVERIFY(QDir().mkpath(programFolder_.filePath("XSD")));
        for (const QString& schema : QDir(VAT_SCHEMA_DIR).entryList({"*.xsd"}))
            QVERIFY(QFile::copy(QString(VAT_SCHEMA_DIR "/") + schema,
                                programFolder_.filePath("XSD/" + schema)));
        SelectDataFile("shop2013");
        messages_->texts.clear();

        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);

        QVERIFY(!messages_->texts.isEmpty());
        QCOMPARE(messages_->texts.last(), QString("OVER"));
        QStringList written;
        for (const std::string& file : window_->state().FilesWritten)
            written.append(QFileInfo(QString::fromStdString(file)).fileName());
        written.sort();
        QVERIFY(!written.isEmpty());
        QCOMPARE(QDir(programFolder_.filePath("04")).entryList({"*.xml"}, QDir::Files, QDir::Name),
                 written);
        const QString verdict = Find<QLabel>("lbl_TaxPayableRefundable")->text();
        QVERIFY2(verdict == "VAT Payable" || verdict == "VAT Refundable", qPrintable(verdict));
        QCOMPARE(Find<QLabel>("lbl_TaxAmt")->text(),
                 QString::fromStdString(window_->state().Caption("lbl_TaxAmt")));
        QCOMPARE(Find<QTableWidget>("grd_Errors")->rowCount(),
                 static_cast<int>(window_->state().ErrorRows().size()));
        QVERIFY(Find<QPushButton>("Command1")->isEnabled());
        QVERIFY(Find<QLabel>("runStatusText")->text().isEmpty());
        QCOMPARE(Find<QLineEdit>("txt_Folder")->text(), programFolder_.filePath("04"));
        window_->state().ClearErrorRows();
    }

    // After generateWritesTheMonthsFilesAndSaysOver: a second run, cancelled as it shows its
    // first progress, keeps the month's files.
    void cancelStopsTheRunAndKeepsTheMonthsFiles() {
        const QDir month(programFolder_.filePath("04"));
        const auto contents = [&] {
            QStringList files;
            for (const QFileInfo& file : month.entryInfoList(QDir::Files, QDir::Name)) {
                QFile bytes(file.filePath());
                files << file.fileName() + ":" +
                             (bytes.open(QIODevice::ReadOnly) ? bytes.readAll() : "unreadable");
            }
            return files;
        };
        const QStringList before = contents();
        QVERIFY(!before.isEmpty());
        messages_->texts.clear();
        auto* cancel = Find<QPushButton>("btn_Cancel");
        QVERIFY(!cancel->isVisible());
        bool offered = false;
        QTimer::singleShot(0, cancel, [&] {
            offered = cancel->isVisible() && cancel->isEnabled();
            QTest::mouseClick(cancel, Qt::LeftButton);
        });

        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);

        QVERIFY(offered);
        QCOMPARE(messages_->texts,
                 QStringList{"The run was cancelled; the month's earlier files were kept."});
        QCOMPARE(contents(), before);
        QVERIFY(window_->state().FilesWritten.empty());
        QVERIFY(!cancel->isVisible());
        QVERIFY(Find<QPushButton>("Command1")->isEnabled());
        window_->state().ClearErrorRows();
    }

    void errorRowsAreShownAndLongOnesWrap() {
        vat::FormState& state = window_->state();
        const std::string longMessage =
            "Element 'SellerName': [facet 'maxLength'] The value 'A VERY LONG SUPPLIER NAME "
            "WITH ITS CITY' has a length of 41; this exceeds the allowed maximum length of 30, "
            "so the local purchase file cannot be uploaded as it is";
        state.AddErrorRow("Local Purchase", "Short");
        state.AddErrorRow("Local Purchase", longMessage);
        auto* grid = Find<QTableWidget>("grd_Errors");
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->item(1, 1)->text(), QString("Local Purchase"));
        QCOMPARE(grid->item(1, 2)->text(), QString::fromStdString(longMessage));
        QVERIFY(grid->rowHeight(1) >= 2 * grid->rowHeight(0));

        state.ClearErrorRows();
        QCOMPARE(grid->rowCount(), 0);
    }

    void captionsReachTheirLabels() {
        vat::FormState& state = window_->state();
        state.UpdateFigures([](vat::ReturnFigures& figures) {
            figures.inputVatPlus = 5000000;  // ten-thousandths
            figures.secondary.outputNet = 30000;
            figures.secondary.inputNet = 45000;
        });
        QCOMPARE(Find<QLabel>("lbl_InputVAT_Plus")->text(), QString("500.00"));
        QCOMPARE(Find<QLabel>("lbl_pay")->text(), QString("-150.00"));
    }

    // Keeps window.png beside the test for a look at the layout.
    void windowRendersAtItsDesignedSize() {
        vat::FormState& state = window_->state();
        state.AddErrorRow("Local Purchase",
                          "Bill 12 of RAMA MEDICALS BANGALORE omitted: basic amount below 1");
        state.AddErrorRow("Local Purchase",
                          "Element 'SellerName': [facet 'maxLength'] The value has a "
                          "length of 41; this exceeds the allowed maximum length of 30.");
        SelectDataFile("shop2013");
        const QImage image = window_->grab().toImage();
        state.ClearErrorRows();
        QVERIFY(image.save(WINDOW_TEST_OUTPUT_DIR "/window.png"));
        const QSize designed(Pixels(kDesignedWidthTwips, window_->logicalDpiX()),
                             Pixels(kDesignedHeightTwips, window_->logicalDpiY()));
        QCOMPARE(image.size() / image.devicePixelRatio(), designed);

        const auto backgroundOf = [&](const char* name) {
            const QRect place = Find<QWidget>(name)->geometry();
            return image.pixelColor(place.topLeft() + QPoint(1, 1));
        };
        QCOMPARE(image.pixelColor(1, 1), QColor(255, 224, 192));
        QCOMPARE(backgroundOf("Label7"), QColor(255, 192, 192));
        QCOMPARE(backgroundOf("lbl_TaxAmt"), QColor(0, 64, 0));
        QCOMPARE(backgroundOf("Label17"), window_->palette().color(QPalette::Base));
        for (const char* hidden : {"Label1", "lbl_in_p", "lbl_out_net", "lbl_pay"})
            QVERIFY2(Find<QWidget>(hidden)->x() >= designed.width(), hidden);
    }

    void progressNamesTheFileAndItsVouchers() {
        window_->state().ReportProgress("/somewhere/04/efile_pur04.xml", 3, 40);
        QCOMPARE(Find<QLabel>("runStatusText")->text(),
                 QString("efile_pur04.xml: 3 of 40 vouchers"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
