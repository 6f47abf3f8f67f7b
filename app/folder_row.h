#pragma once

#include <QSettings>
#include <QWidget>
#include <filesystem>

#include "returns/run/return_folders.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Where the return files go: the output folder that holds the month folders, Choose... to pick
// another, Open folder to see it in the file manager, and Schemas... to check the files against
// other schemas (the tax authority's own). Choices are remembered for the next start. After a
// run the row shows the month folder the run wrote. While schemas other than the program's
// are in use, the row says which.
class FolderRow : public QWidget {
    Q_OBJECT

public:
    // The defaults stand until the user chooses other folders.
    FolderRow(vat::ReturnFolders defaults, QWidget* parent);

    vat::ReturnFolders Folders() const;
    void ShowRunFolder(const std::filesystem::path& monthFolder);

signals:
    // No file manager opened the folder; the text names it.
    void folderNotOpened(const QString& text);

private:
    std::filesystem::path remembered(const char* key, const std::filesystem::path& fallback) const;
    void remember(const char* key, const QString& folder, const std::filesystem::path& fallback);
    void chooseOutputFolder();
    void chooseSchemaFolder();
    void openShownFolder();
    void showFolders();
    void showPath(const std::filesystem::path& folder);

    vat::ReturnFolders defaults_;
    QSettings settings_;
    QLabel* caption_;
    QLineEdit* path_;
    QLabel* otherSchemas_;  // shown while the schemas are not the program's
    QPushButton* schemas_;
};
