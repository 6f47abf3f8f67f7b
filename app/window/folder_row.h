#pragma once

#include <QSettings>
#include <QWidget>
#include <filesystem>

#include "returns/run/return_folders.h"

class ElidedPath;
class QCheckBox;
class QLabel;
class QPushButton;

// Where the return files go: the output folder that holds the month folders, Choose... to pick
// another, Open folder to see it in the file manager, Schemas... to check the files against
// other schemas (the tax authority's own), and whether each company's year has a folder of its
// own (Per company) or the month folders lie straight in the output folder. Choices are
// remembered for the next start. Once books and a month are chosen, and after a run, the row
// shows the month folder. While schemas other than the program's are in use, the row says
// which.
class FolderRow : public QWidget {
    Q_OBJECT

public:
    // The defaults, their layout included, stand until the user chooses otherwise.
    FolderRow(vat::ReturnFolders defaults, QWidget* parent);

    vat::ReturnFolders folders() const;
    void showRunFolder(const std::filesystem::path& monthFolder);

signals:
    // No file manager opened the folder; the text names it.
    void folderNotOpened(const QString& text);
    // Per company was ticked or unticked: the month folders lie elsewhere.
    void layoutChosen();

private:
    std::filesystem::path remembered(const char* key, const std::filesystem::path& fallback) const;
    void remember(const char* key, const QString& folder, const std::filesystem::path& fallback);
    void chooseOutputFolder();
    void chooseSchemaFolder();
    void chooseLayout(bool perCompany);
    void openShownFolder();
    void showFolders();
    void showPath(const std::filesystem::path& folder);

    vat::ReturnFolders defaults_;
    QSettings settings_;
    QLabel* caption_;
    ElidedPath* path_;
    QLabel* otherSchemas_;  // shown while the schemas are not the program's
    QPushButton* schemas_;
    QCheckBox* perCompany_;
};
