#include "app/window/folder_row.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/window/elided_path.h"
#include "app/window/interstate_choice.h"
#include "app/window/scratch_settings.h"

// The folder row on its own: the folders it hands a run, the choices it remembers, and the
// month folder it shows and opens after a run.
class FolderRowTest : public QObject {
    Q_OBJECT

public slots:
    // Stands in for the file manager.
    void open(const QUrl& url) { opened_.append(url); }

private:
    template <typename Control>
    static Control* Find(const FolderRow& row, const char* name) {
        auto* control = row.findChild<Control*>(name);
        if (!control) qFatal("The folder row has no control named %s", name);
        return control;
    }

    // Clicks the button and answers the folder dialog it opens with the folder.
    static void ChooseWith(const FolderRow& row, const char* button, const QString& folder) {
        QTimer::singleShot(0, [folder] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) qFatal("No folder dialog opened");
            dialog->setDirectory(folder);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, as OK does
        });
        QTest::mouseClick(Find<QPushButton>(row, button), Qt::LeftButton);
    }

    std::filesystem::path path(const QString& relative) const {
        return root_.filePath(relative).toStdString();
    }

    vat::ReturnFolders defaults() const { return {path("default"), path("bundled/XSD")}; }

    ScratchSettings settings_;
    QTemporaryDir root_;
    QList<QUrl> opened_;

private slots:
    void init() { QSettings("vat-efile", "window").clear(); }

    void showsTheDefaultsUntilTheUserChooses() {
        const FolderRow row(defaults(), nullptr);
        QCOMPARE(row.folders().output, defaults().output);
        QCOMPARE(row.folders().schemas, defaults().schemas);
        QCOMPARE(Find<QLabel>(row, "lbl_Folder")->text(), QString("Output folder"));
        QCOMPARE(Find<ElidedPath>(row, "txt_Folder")->path(), root_.filePath("default"));
        QVERIFY(Find<QPushButton>(row, "btn_Schemas")
                    ->toolTip()
                    .endsWith(root_.filePath("bundled/XSD")));
        QVERIFY(Find<QLabel>(row, "lbl_OtherSchemas")->isHidden());
    }

    void chosenFoldersAreUsedAndRememberedForTheNextStart() {
        QVERIFY(QDir(root_.path()).mkpath("books/returns"));
        QVERIFY(QDir(root_.path()).mkpath("authority"));
        {
            const FolderRow row(defaults(), nullptr);
            ChooseWith(row, "btn_ChooseFolder", root_.filePath("books/returns"));
            ChooseWith(row, "btn_Schemas", root_.filePath("authority"));
            QCOMPARE(Find<ElidedPath>(row, "txt_Folder")->path(), root_.filePath("books/returns"));
            QVERIFY(Find<QPushButton>(row, "btn_Schemas")
                        ->toolTip()
                        .endsWith(root_.filePath("authority")));
            const auto* otherSchemas = Find<QLabel>(row, "lbl_OtherSchemas");
            QVERIFY(!otherSchemas->isHidden());
            QVERIFY2(otherSchemas->text().startsWith("Schemas: ") &&
                         otherSchemas->text().endsWith("authority (not the program's own)"),
                     qPrintable(otherSchemas->text()));
            QCOMPARE(otherSchemas->toolTip(), root_.filePath("authority"));
        }
        const FolderRow next(defaults(), nullptr);
        QCOMPARE(next.folders().output, path("books/returns"));
        QCOMPARE(next.folders().schemas, path("authority"));
    }

    void choosingTheDefaultAgainForgetsTheChoice() {
        QVERIFY(QDir(root_.path()).mkpath("default"));
        QVERIFY(QDir(root_.path()).mkpath("elsewhere"));
        const FolderRow row(defaults(), nullptr);
        ChooseWith(row, "btn_ChooseFolder", root_.filePath("elsewhere"));
        ChooseWith(row, "btn_ChooseFolder", root_.filePath("default"));
        QVERIFY(!QSettings("vat-efile", "window").contains("outputFolder"));
        const vat::ReturnFolders moved{path("moved"), path("moved/XSD")};
        QCOMPARE(FolderRow(moved, nullptr).folders().output, moved.output);
    }

    void eachCompanysYearHasItsFolderUnlessTheUserChoosesFlat() {
        using vat::MonthFolderLayout;
        {
            const FolderRow row(defaults(), nullptr);
            auto* perCompany = Find<QCheckBox>(row, "chk_FolderPerCompany");
            QVERIFY(perCompany->isChecked());
            QCOMPARE(row.folders().layout, MonthFolderLayout::CompanyYear);
            perCompany->click();
            QCOMPARE(row.folders().layout, MonthFolderLayout::Flat);
        }
        const FolderRow next(defaults(), nullptr);
        QCOMPARE(next.folders().layout, MonthFolderLayout::Flat);
        QVERIFY(!Find<QCheckBox>(next, "chk_FolderPerCompany")->isChecked());
        Find<QCheckBox>(next, "chk_FolderPerCompany")->click();
        QVERIFY(!QSettings("vat-efile", "window").contains("monthFolderLayout"));
        const vat::ReturnFolders flat{path("flat"), path("flat/XSD"), MonthFolderLayout::Flat};
        QCOMPARE(FolderRow(flat, nullptr).folders().layout, MonthFolderLayout::Flat);
    }

    // In-state parties only, the return's rule, unless the user chooses all; the choice is
    // remembered, the default again forgotten.
    void interstatePartiesAreInStateUnlessTheUserChoosesAll() {
        using vat::InterstateParties;
        {
            InterstateChoice all(nullptr);
            QVERIFY(!all.isChecked());
            QCOMPARE(all.parties(), InterstateParties::InState);
            all.click();
            QCOMPARE(all.parties(), InterstateParties::All);
        }
        InterstateChoice next(nullptr);
        QCOMPARE(next.parties(), InterstateParties::All);
        QVERIFY(next.isChecked());
        next.click();
        QVERIFY(!QSettings("vat-efile", "window").contains("interstateParties"));
    }

    // A path longer than its room is cut in its middle: its drive and its month folder show.
    void aLongFolderShowsBothEndsAndTheWholeInItsTooltip() {
        FolderRow row(defaults(), nullptr);
        row.resize(500, row.sizeHint().height());
        const QString deep =
            root_.filePath(QString("very long company folder name/").repeated(8) + "2014-15/04");
        row.showRunFolder(deep.toStdString());
        auto* path = Find<ElidedPath>(row, "txt_Folder");
        QCOMPARE(path->path(), deep);
        QCOMPARE(path->toolTip(), deep);
        QVERIFY2(path->text().contains(QChar(0x2026)) && path->text().endsWith("/04") &&
                     path->text().startsWith(root_.path().left(4)),
                 qPrintable(path->text()));
    }

    void afterARunShowsTheMonthFolderAndOpensIt() {
        QDesktopServices::setUrlHandler("file", this, "open");
        opened_.clear();
        FolderRow row(defaults(), nullptr);
        row.showRunFolder(path("default/04"));
        QCOMPARE(Find<QLabel>(row, "lbl_Folder")->text(), QString("Month folder"));
        QCOMPARE(Find<ElidedPath>(row, "txt_Folder")->path(), root_.filePath("default/04"));
        QTest::mouseClick(Find<QPushButton>(row, "btn_OpenFolder"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(root_.filePath("default/04"))});
        QVERIFY(QDir(root_.filePath("default/04")).exists());

        // The offscreen platform has no file manager.
        QSignalSpy notOpened(&row, &FolderRow::folderNotOpened);
        QTest::mouseClick(Find<QPushButton>(row, "btn_OpenFolder"), Qt::LeftButton);
        QCOMPARE(notOpened.size(), 1);
        QCOMPARE(notOpened.first().first().toString(),
                 "No file manager opened the folder " + root_.filePath("default/04") + ".");
    }
};

QTEST_MAIN(FolderRowTest)
#include "folder_row_test.moc"
