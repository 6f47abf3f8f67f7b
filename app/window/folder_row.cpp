#include "app/window/folder_row.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/window/elided_path.h"

namespace {

constexpr char kOutputKey[] = "outputFolder";
constexpr char kSchemaKey[] = "schemaFolder";
// The schema folder's path in the row is cut short in its middle beyond this; the tooltip
// holds it whole.
constexpr int kSchemaPathPixels = 160;
constexpr char kLayoutKey[] = "monthFolderLayout";
constexpr char kFlat[] = "flat";
constexpr char kCompanyYear[] = "company-year";

QString Text(const std::filesystem::path& folder) {
    return QString::fromStdString(folder.string());
}

// Where a folder dialog opens: the folder, or the nearest one above it that exists. The data
// folder does not exist before the first run, and a dialog started in a missing folder would
// offer the missing folder's name as the choice.
QString DialogStart(std::filesystem::path folder) {
    std::error_code error;
    while (!std::filesystem::is_directory(folder, error) && folder.has_relative_path())
        folder = folder.parent_path();
    return Text(folder);
}

}  // namespace

FolderRow::FolderRow(vat::ReturnFolders defaults, QWidget* parent)
    : QWidget(parent),
      defaults_(std::move(defaults)),
      settings_("vat-efile", "window"),
      caption_(new QLabel(this)),
      path_(new ElidedPath(this)),
      otherSchemas_(new QLabel(this)),
      schemas_(new QPushButton("Schemas...", this)),
      perCompany_(new QCheckBox("Per company", this)) {
    caption_->setObjectName("lbl_Folder");
    // The path gives way to a long caption, never the caption to the path.
    caption_->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    path_->setObjectName("txt_Folder");
    otherSchemas_->setObjectName("lbl_OtherSchemas");
    schemas_->setObjectName("btn_Schemas");
    auto* choose = new QPushButton("Choose...", this);
    choose->setObjectName("btn_ChooseFolder");
    choose->setToolTip("Choose the folder that holds the month folders");
    auto* open = new QPushButton("Open folder", this);
    open->setObjectName("btn_OpenFolder");
    open->setToolTip("Show the folder in the file manager");
    perCompany_->setObjectName("chk_FolderPerCompany");
    perCompany_->setToolTip(
        "Month folders in <output folder>/<data file>/<financial year>, so that companies and "
        "years never share one; unchecked, straight in the output folder");
    perCompany_->setChecked(folders().layout == vat::MonthFolderLayout::CompanyYear);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption_);
    layout->addWidget(path_, 1);
    layout->addWidget(otherSchemas_);
    for (QPushButton* button : {choose, open, schemas_}) layout->addWidget(button);
    layout->addWidget(perCompany_);
    connect(choose, &QPushButton::clicked, this, &FolderRow::chooseOutputFolder);
    connect(open, &QPushButton::clicked, this, &FolderRow::openShownFolder);
    connect(schemas_, &QPushButton::clicked, this, &FolderRow::chooseSchemaFolder);
    connect(perCompany_, &QCheckBox::toggled, this, &FolderRow::chooseLayout);
    showFolders();
}

vat::ReturnFolders FolderRow::folders() const {
    const QString layout = settings_.value(kLayoutKey).toString();
    return {remembered(kOutputKey, defaults_.output), remembered(kSchemaKey, defaults_.schemas),
            layout == kFlat          ? vat::MonthFolderLayout::Flat
            : layout == kCompanyYear ? vat::MonthFolderLayout::CompanyYear
                                     : defaults_.layout};
}

void FolderRow::showRunFolder(const std::filesystem::path& monthFolder) {
    caption_->setText("Month folder");
    showPath(monthFolder);
}

std::filesystem::path FolderRow::remembered(const char* key,
                                            const std::filesystem::path& fallback) const {
    const QString folder = settings_.value(key).toString();
    return folder.isEmpty() ? fallback : std::filesystem::path(folder.toStdString());
}

// Choosing the default again forgets the choice, so that the default keeps following the
// program (a build, an installation).
void FolderRow::remember(const char* key, const QString& folder,
                         const std::filesystem::path& fallback) {
    if (folder.isEmpty()) return;
    if (QDir(folder) == QDir(Text(fallback)))
        settings_.remove(key);
    else
        settings_.setValue(key, folder);
    showFolders();
}

void FolderRow::chooseOutputFolder() {
    remember(kOutputKey,
             QFileDialog::getExistingDirectory(this, "Folder for the month folders",
                                               DialogStart(folders().output)),
             defaults_.output);
}

void FolderRow::chooseSchemaFolder() {
    remember(kSchemaKey,
             QFileDialog::getExistingDirectory(
                 this, "Folder of the schemas (eval_pur.xsd and the others)",
                 DialogStart(folders().schemas)),
             defaults_.schemas);
}

// The default again is forgotten, as the folders are.
void FolderRow::chooseLayout(bool perCompany) {
    const auto chosen =
        perCompany ? vat::MonthFolderLayout::CompanyYear : vat::MonthFolderLayout::Flat;
    if (chosen == defaults_.layout)
        settings_.remove(kLayoutKey);
    else
        settings_.setValue(kLayoutKey, perCompany ? kCompanyYear : kFlat);
    showFolders();
    emit layoutChosen();
}

// The output folder may not exist before the first run: it is made so that there is
// something to show. Without a file manager the user is told where to look.
void FolderRow::openShownFolder() {
    const QString folder = path_->path();
    QDir().mkpath(folder);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        emit folderNotOpened("No file manager opened the folder " + folder + ".");
}

void FolderRow::showPath(const std::filesystem::path& folder) { path_->setPath(Text(folder)); }

void FolderRow::showFolders() {
    const vat::ReturnFolders shown = folders();
    caption_->setText("Output folder");
    showPath(shown.output);
    schemas_->setToolTip("The files are checked against the schemas in " + Text(shown.schemas));
    const QString schemaPath = Text(shown.schemas);
    otherSchemas_->setText(
        "Schemas: " +
        otherSchemas_->fontMetrics().elidedText(schemaPath, Qt::ElideMiddle, kSchemaPathPixels) +
        " (not the program's own)");
    otherSchemas_->setToolTip(schemaPath);
    otherSchemas_->setVisible(QDir(schemaPath) != QDir(Text(defaults_.schemas)));
}
