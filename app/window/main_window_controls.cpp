// The controls of the main window, where the design puts them (left, top, width, height in twips).
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

#include "app/window/background_job.h"
#include "app/window/error_grid.h"
#include "app/window/file_accounts_table.h"
#include "app/window/fix_list_view.h"
#include "app/window/folder_row.h"
#include "app/window/interstate_choice.h"
#include "app/window/main_window.h"
#include "app/window/reconciliation_view.h"
#include "app/window/run_status_line.h"
#include "app/window/twips.h"

namespace {

constexpr int kClientWidth = 8790;
// Below the summary, the error list and the table of the run's files share tabs, short enough
// at the window's least size for a 1366x768 screen (700 pixels at 96 dpi); a taller window
// gives them its room.
constexpr int kResultsTop = 7560;
constexpr int kResultsHeight = 2235;
constexpr int kButtonsTop = kResultsTop + kResultsHeight + 105;
constexpr int kButtonsHeight = 375;
constexpr int kMinimumHeight = kButtonsTop + kButtonsHeight + 120;
// Wide enough for the tabs' designed width beside the figures, the results leave the room under
// the figures and take the window's right side from its top: a maximised window on a 1366x768
// screen gives them all its height.
constexpr int kSelectionTop = 195;
constexpr int kResultsBlockTop = 7140;  // the caption and filters above the tabs
constexpr int kResultsBlockLeft = 240;
constexpr int kRightMargin = 255;
constexpr int kSideBySideWidth = kClientWidth + 8295 + kRightMargin;
constexpr int kFiguresTop = 1485;  // the local heading, under the books-changed warning
constexpr int kWarningTop = 1215;
constexpr int kWarningWidth = 8220;
constexpr int kWarningHeight = 270;
constexpr int kNoteTop = 6240;  // the note on the files, above the folder row
constexpr int kNoteWidth = 8205;
constexpr int kNoteHeight = 495;
constexpr int kFolderRowTop = 6780;  // the lowest of what lies under the warning
constexpr int kFolderRowHeight = 390;
constexpr int kErrorListWidth = 5500;
constexpr int kErrorDetailWidth = 8295 - 90 - kErrorListWidth;
constexpr int kLabelHeight = 330;
constexpr int kSummaryWidth = 1935;  // captions and values of the VAT and CST rows
constexpr int kUrdCaptionWidth = 1215;
constexpr int kUrdCountWidth = 855;
constexpr int kUrdAmountWidth = 1575;
constexpr int kSecondaryWidth = 1500;

const QColor kWindowColour(255, 224, 192);
const QColor kHeadingColour(255, 192, 192);
const QColor kHighlightText(0, 255, 0);
const QColor kHighlightBackground(0, 64, 0);
const QColor kWarningText(192, 0, 0);

template <typename Control>
Control* Place(Control* control, const char* name, QRect place) {
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

// What a wrapped label needs beyond its designed height, within the room there is; nothing
// while it is hidden.
int Beyond(const QLabel& label, int width, int designedHeight, int room) {
    const int wanted =
        label.isVisibleTo(label.parentWidget()) ? label.heightForWidth(width) - designedHeight : 0;
    return std::clamp(wanted, 0, std::max(room, 0));
}

void Fill(QWidget& widget, const QColor& background) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, background);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace

MainWindow::MainWindow(vat::ReturnFolders folders, std::unique_ptr<MessagePresenter> messages,
                       QWidget* parent)
    : QWidget(parent),
      messages_(messages ? std::move(messages) : std::make_unique<MessageBoxPresenter>(this)),
      job_(new BackgroundJob(this)) {
    setObjectName("Form1");
    job_->setObjectName("monthJob");
    setWindowTitle("VAT e-Filing Returns");
    Fill(*this, kWindowColour);

    const Twips at(*this);
    setMinimumSize(at.size(kClientWidth, kMinimumHeight));
    resize(minimumSize());
    createSelectionControls(at);
    createLocalSummary(at);
    createInterstateSummary(at);
    createUrdSummary(at);
    createSecondarySummary(at);
    createErrorList(at);
    createFolderRow(at, std::move(folders));
    createRunAccounts();
    createReconciliationAndFixes();
    createFiling();
    // Everything under the warning moves down with it: the figures, the note on the files and
    // the folder row, and the results when they lie under them.
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->y() >= at.y(kFiguresTop) && !growth_.follows(control) &&
            control != filesNote_ && control != folderRow_)
            underWarning_.follow(control, {});
    underNote_.follow(folderRow_, {});
    booksChangedLabel_->installEventFilter(this);

    showRun({});
    showFilesNote();
    connectHandlers();
}

// Labels belong to the window; the summary values among them are found by name.
QLabel* MainWindow::addLabel(const char* name, const QString& text, QRect place, LabelLook look) {
    auto* label = Place(new QLabel(text, this), name, place);
    label->setIndent(4);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    switch (look) {
        case LabelLook::Prompt:
            break;
        case LabelLook::Heading:
            Fill(*label, kHeadingColour);
            break;
        case LabelLook::Plain:
            Fill(*label, palette().color(QPalette::Base));
            break;
        case LabelLook::Value:
            Fill(*label, palette().color(QPalette::Base));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            break;
        case LabelLook::Highlight: {
            Fill(*label, kHighlightBackground);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, kHighlightText);
            label->setPalette(palette);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            break;
        }
    }
    return label;
}

void MainWindow::createSelectionControls(const Twips& at) {
    addLabel("Label10", "Select Datafile", at.rect(240, 240, 1770, 330), LabelLook::Prompt);
    dataFileCombo_ = Place(new QComboBox(this), "Combo2", at.rect(1920, 195, 3405, 420));
    yearStartEdit_ = Place(new QLineEdit(this), "Text1", at.rect(5400, 195, 1485, 420));
    yearEndEdit_ = Place(new QLineEdit(this), "Text2", at.rect(7005, 195, 1500, 420));
    // The dates come from the data file; typing over them would change nothing. Tab passes
    // them by, and so does the focus leaving a control a run disables.
    for (QLineEdit* date : {yearStartEdit_, yearEndEdit_}) {
        date->setReadOnly(true);
        date->setFocusPolicy(Qt::ClickFocus);
    }
    addLabel("Label12", "Select Month", at.rect(240, 720, 1770, 330), LabelLook::Prompt);
    monthCombo_ = Place(new QComboBox(this), "Combo1", at.rect(1920, 720, 2250, 420));
    generateButton_ =
        Place(new QPushButton("Generate Files", this), "Command1", at.rect(5400, 720, 3060, 495));
    // Takes the place of Generate Files while the server cannot be reached.
    retryButton_ = Place(new QPushButton("&Retry", this), "btn_Retry", generateButton_->geometry());
    retryButton_->hide();
    // The free room between the month list and Generate Files, and under them, above the
    // summary: the designed controls keep their places.
    yearButton_ =
        Place(new QPushButton("&Year...", this), "btn_Year", at.rect(4260, 720, 1050, 420));
    booksChangedLabel_ =
        addLabel("lbl_BooksChanged", {}, at.rect(240, kWarningTop, kWarningWidth, kWarningHeight),
                 LabelLook::Prompt);
    // A long warning takes the lines it needs when the window has the room (arrange).
    booksChangedLabel_->setWordWrap(true);
    QPalette warning = booksChangedLabel_->palette();
    warning.setColor(QPalette::WindowText, kWarningText);
    booksChangedLabel_->setPalette(warning);
    booksChangedLabel_->hide();
}

void MainWindow::createLocalSummary(const Twips& at) {
    const auto row = [&](const char* name, const QString& text, int left, int top, LabelLook look) {
        return addLabel(name, text, at.rect(left, top, kSummaryWidth, kLabelHeight), look);
    };
    addLabel("Label7", "Local Purchase / Sales", at.rect(225, 1485, 8235, kLabelHeight),
             LabelLook::Heading);
    row("Label17", "Input Vat (+)", 225, 1965, LabelLook::Plain);
    row("lbl_InputVAT_Plus", {}, 2310, 1965, LabelLook::Value);
    row("Label16", "Input Vat (-)", 225, 2445, LabelLook::Plain);
    row("lbl_InputVAT_Minus", {}, 2310, 2445, LabelLook::Value);
    row("Label15", "Output Vat (+)", 4380, 1965, LabelLook::Plain);
    row("lbl_OutputVAT_Plus", {}, 6465, 1965, LabelLook::Value);
    row("Label14", "Output Vat (-)", 4380, 2445, LabelLook::Plain);
    row("lbl_OutputVAT_Minus", {}, 6465, 2445, LabelLook::Value);
    row("lbl_TaxPayableRefundable", {}, 225, 2925, LabelLook::Highlight);
    row("lbl_TaxAmt", {}, 2310, 2925, LabelLook::Highlight)
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::createInterstateSummary(const Twips& at) {
    const auto row = [&](const char* name, const QString& text, int left, LabelLook look) {
        return addLabel(name, text, at.rect(left, 3885, kSummaryWidth, kLabelHeight), look);
    };
    addLabel("Label9", "Interstate Purchase / Sales", at.rect(225, 3405, 8235, kLabelHeight),
             LabelLook::Heading);
    row("Label11", "Purchase CST", 225, LabelLook::Plain);
    row("lbl_CST_Purchase", {}, 2310, LabelLook::Value);
    row("Label13", "CST Payable", 4380, LabelLook::Plain);
    row("lbl_CST_Sales", {}, 6465, LabelLook::Value);
}

// Each URD block: a heading bar, then the bill count, basic amount and VAT with their captions.
void MainWindow::createUrdSummary(const Twips& at) {
    const auto caption = [&](const char* name, const QString& text, int left, int top) {
        addLabel(name, text, at.rect(left, top, kUrdCaptionWidth, kLabelHeight), LabelLook::Plain);
    };
    const auto value = [&](const char* name, int left, int top, int width) {
        addLabel(name, {}, at.rect(left, top, width, kLabelHeight), LabelLook::Value);
    };
    addLabel("Label27", "URD Purchase", at.rect(240, 4320, 8175, kLabelHeight), LabelLook::Heading);
    caption("Label26", "No Of Bills", 240, 4800);
    value("lbl_Pur_URD_NoOfBills", 1560, 4800, kUrdCountWidth);
    caption("Label20", "Basic Amt", 2520, 4800);
    value("lbl_Pur_URD_Basic_Amt", 3840, 4800, kUrdAmountWidth);
    caption("Label21", "VAT Amt", 5520, 4800);
    value("lbl_Pur_URD_VAT_Amt", 6840, 4800, kUrdAmountWidth);

    addLabel("Label24", "URD Sales", at.rect(240, 5280, 8175, kLabelHeight), LabelLook::Heading);
    caption("Label23", "No Of Bills", 240, 5760);
    value("lbl_Sal_URD_NoOfBills", 1560, 5760, kUrdCountWidth);
    caption("Label22", "Basic Amt", 2520, 5760);
    value("lbl_Sal_URD_Basic_Amt", 3840, 5760, kUrdAmountWidth);
    caption("Label25", "VAT Amt", 5520, 5760);
    value("lbl_Sal_URD_VAT_Amt", 6840, 5760, kUrdAmountWidth);
}

// Net figures kept beside the designed client area, out of sight: three columns of caption over
// value, the payable VAT under the net column. They stay hidden when the window is widened,
// as the design never shows them beside the figures the summary does show.
void MainWindow::createSecondarySummary(const Twips& at) {
    const auto label = [&](const char* name, const QString& text, int left, int top,
                           LabelLook look) {
        QLabel* created =
            addLabel(name, text, at.rect(left, top, kSecondaryWidth, kLabelHeight), look);
        created->hide();
        return created;
    };
    label("Label1", "Input Vat (+)", 9720, 1965, LabelLook::Plain);
    label("lbl_in_p", {}, 9720, 2325, LabelLook::Value);
    label("Label2", "Input Vat (-)", 11340, 1965, LabelLook::Plain);
    label("lbl_in_n", {}, 11340, 2325, LabelLook::Value);
    label("Label3", "Net Input Vat", 12945, 1965, LabelLook::Plain);
    label("lbl_in_net", {}, 12945, 2325, LabelLook::Value);
    label("Label4", "Output Vat (+)", 9720, 2805, LabelLook::Plain);
    label("lbl_out_p", {}, 9720, 3165, LabelLook::Value);
    label("Label5", "Output Vat (-)", 11340, 2805, LabelLook::Plain);
    label("lbl_out_n", {}, 11340, 3165, LabelLook::Value);
    label("Label6", "Net output Vat", 12945, 2805, LabelLook::Plain);
    label("lbl_out_net", {}, 12945, 3165, LabelLook::Value);
    label("Label8", "Payable Vat", 12945, 3645, LabelLook::Highlight);
    label("lbl_pay", {}, 12945, 4005, LabelLook::Highlight)
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::createErrorList(const Twips& at) {
    filesNote_ =
        addLabel("Label18", {}, at.rect(240, kNoteTop, kNoteWidth, kNoteHeight), LabelLook::Plain);
    filesNote_->setWordWrap(true);
    addLabel("Label19", "Validation Errors", at.rect(240, 7200, 3075, kLabelHeight),
             LabelLook::Prompt);
    // The filters share the caption's row, right of it, as wide as the list together.
    typeFilter_ = Place(new QComboBox(this), "cmb_TypeFilter", at.rect(3435, 7140, 2505, 390));
    fileFilter_ = Place(new QComboBox(this), "cmb_FileFilter", at.rect(6030, 7140, 2505, 390));
    typeFilter_->addItem("All types");
    fileFilter_->addItem("All files");
    results_ =
        Place(new QTabWidget(this), "tab_Results", at.rect(240, kResultsTop, 8295, kResultsHeight));
    // The list, one line a row, beside the whole of the row the user is on; the list takes
    // what the window gains.
    auto* errors = new QSplitter(Qt::Horizontal, results_);
    errorGrid_ = Place(new ErrorGrid(errors), "grd_Errors",
                       at.rect(0, 0, kErrorListWidth, kResultsHeight - 420));
    errorGrid_->fitColumns();
    errorDetail_ = new QPlainTextEdit(errors);
    errorDetail_->setObjectName("txt_ErrorDetail");
    errorDetail_->setReadOnly(true);
    errorDetail_->setPlaceholderText("The row you select, in full");
    errors->addWidget(errorGrid_);
    errors->addWidget(errorDetail_);
    errors->setStretchFactor(0, 1);
    errors->setSizes({errorGrid_->width(), at.size(kErrorDetailWidth, 0).width()});
    results_->addTab(errors, "Errors");
    exportButton_ = Place(new QPushButton("&Export...", this), "btn_Export",
                          at.rect(5760, kButtonsTop, 1335, kButtonsHeight));
    printButton_ = Place(new QPushButton("&Print", this), "btn_Print",
                         at.rect(7200, kButtonsTop, 1335, kButtonsHeight));
    // The run's progress, and its outcome when it ends, take the free space left of Export;
    // Cancel shows over its right end while a run goes.
    runStatus_ = Place(new RunStatusLine(this), "runStatus",
                       at.rect(240, kButtonsTop, 5400, kButtonsHeight));
    cancelButton_ = Place(new QPushButton("Cancel", this), "btn_Cancel",
                          at.rect(4305, kButtonsTop, 1335, kButtonsHeight));
    cancelButton_->hide();

    // A larger window gives its room to the tabs; what lies below them moves down.
    for (QWidget* above : {static_cast<QWidget*>(findChild<QLabel*>("Label19")),
                           static_cast<QWidget*>(typeFilter_), static_cast<QWidget*>(fileFilter_)})
        growth_.follow(above, {});
    growth_.follow(results_, Qt::RightEdge | Qt::BottomEdge);
    growth_.follow(runStatus_, Qt::TopEdge | Qt::BottomEdge | Qt::RightEdge);
    for (QWidget* button : {cancelButton_, exportButton_, printButton_})
        growth_.follow(button, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
}

// Under the note on the files, where they go.
void MainWindow::createFolderRow(const Twips& at, vat::ReturnFolders folders) {
    folderRow_ = Place(new FolderRow(std::move(folders), this), "folderRow",
                       at.rect(240, kFolderRowTop, 8205, kFolderRowHeight));
    connect(folderRow_, &FolderRow::folderNotOpened, this, [this](const QString& text) {
        present({text.toStdString(), false});
    });
}

void MainWindow::createRunAccounts() {
    runAccounts_ = new QTableWidget(results_);
    runAccounts_->setObjectName("tbl_RunAccounts");
    FormatFileAccountsTable(*runAccounts_);
    results_->addTab(runAccounts_, "Files");
}

// Beside the error list, and All parties and Check only at the tabs' right end: the room the
// design leaves.
void MainWindow::createReconciliationAndFixes() {
    reconciliationView_ = new ReconciliationView(results_);
    reconciliationView_->setObjectName("reconciliationView");
    results_->addTab(reconciliationView_, "Reconciliation");
    fixList_ = new FixListView(results_);
    results_->addTab(fixList_, "To fix");
    // Beside Check only, how the month is run: by Generate Files and Check only alike.
    auto* corner = new QWidget(results_);
    interstateChoice_ = new InterstateChoice(corner);
    checkOnlyButton_ = new QPushButton("Chec&k only", corner);
    checkOnlyButton_->setObjectName("btn_CheckOnly");
    checkOnlyButton_->setToolTip(
        "Runs the month as Generate Files does, into a throwaway folder: shows the errors, what "
        "to fix and the reconciliation without changing the month's folder.");
    auto* cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 0, 0, 0);
    cornerLayout->addWidget(interstateChoice_);
    cornerLayout->addWidget(checkOnlyButton_);
    results_->setCornerWidget(corner, Qt::TopRightCorner);
}

// The window's room beyond its least size. Narrow, the tabs take it, under the figures; wide
// enough, the results move beside the figures, from the top of the window to its bottom. A
// warning that needs more than its one line pushes what lies under it down, as far as the
// window's height allows; its tooltip holds it whole. Beside the results, the note on the files
// takes the lines it needs too.
void MainWindow::arrange() {
    const Twips at(*this);
    const QSize growth = size() - minimumSize();
    const bool sideBySide = width() >= at.x(kSideBySideWidth);
    const QRect designedWarning = at.rect(240, kWarningTop, kWarningWidth, kWarningHeight);
    const QRect designedNote = at.rect(240, kNoteTop, kNoteWidth, kNoteHeight);
    const int warningWidth = designedWarning.width() + (sideBySide ? 0 : growth.width());
    // Beside the results, what lies under the warning may go down to the window's bottom.
    const int room =
        sideBySide ? height() - at.y(kFolderRowTop + kFolderRowHeight + 120) : growth.height();
    const int lower = Beyond(*booksChangedLabel_, warningWidth, designedWarning.height(), room);
    const int noteLower =
        sideBySide ? Beyond(*filesNote_, designedNote.width(), designedNote.height(), room - lower)
                   : 0;
    booksChangedLabel_->setGeometry(
        designedWarning.adjusted(0, 0, warningWidth - designedWarning.width(), lower));
    underWarning_.apply({}, {0, lower});
    filesNote_->setGeometry(designedNote.translated(0, lower).adjusted(0, 0, 0, noteLower));
    underNote_.apply({}, {0, lower + noteLower});
    if (sideBySide) {
        const QPoint by(at.x(kClientWidth) - at.x(kResultsBlockLeft),
                        at.y(kSelectionTop) - at.y(kResultsBlockTop));
        growth_.apply(growth - QSize(by.x(), by.y()), by);
    } else {
        growth_.apply(growth - QSize(0, lower), {0, lower});
    }
}

// The warning shown or hidden changes what it needs.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == booksChangedLabel_ &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        arrange();
    return QWidget::eventFilter(watched, event);
}
