#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ledger/ledger_date.h"
#include "returns/results/return_figures.h"
#include "returns/results/summary_captions.h"

namespace vat {

// One row of the error list: its Type and Error texts, and what it points at: the document
// (for a schema error the failing record's number, date and party as written; for a row the
// run adds, the document number and voucher) and, for a schema error, the file and the line of
// the failing element.
struct ErrorRow {
    std::string type;
    std::string error;
    std::string document = {};
    std::string file = {};
    std::optional<long long> line = {};
    friend bool operator==(const ErrorRow&, const ErrorRow&) = default;
};

// What became of every row of one return file's voucher lists, and of the file's check:
// listed = written + belowOneRupee + interstate + tinSkipped + notGoods + missingData.
struct FileAccount {
    std::string file;                 // the file's name, written or not ("efile_pur04.xml")
    std::optional<std::string> path;  // where it was written; none when no file was written
    long long listed = 0;
    long long written = 0;
    long long belowOneRupee = 0;
    long long interstate = 0;  // an interstate bill in a local sales list
    long long tinSkipped = 0;
    long long notGoods = 0;  // debit notes without goods
    long long missingData = 0;
    long long schemaErrors = 0;
    std::optional<bool> valid;  // none when the file was not checked

    long long LeftOut() const { return listed - written; }
    friend bool operator==(const FileAccount&, const FileAccount&) = default;
};

struct UserMessage {
    std::string text;
    bool critical = false;    // shown with the critical-error icon
    std::string detail = {};  // the cause in the system's own words, for the user to unfold
    friend bool operator==(const UserMessage&, const UserMessage&) = default;
};

// How a front end follows the state: the window repaints its controls and shows modal
// message boxes; the command-line tool prints; tests record.
class FormView {
public:
    virtual ~FormView() = default;
    virtual void CaptionChanged(const std::string& /*label*/, const std::string& /*caption*/) {}
    virtual void ErrorRowsChanged() {}
    // Returns when the user has dismissed the message.
    virtual void ShowMessage(const UserMessage& /*message*/) {}
    // Which return file is being written and how many of its vouchers are done.
    virtual void Progress(const std::string& /*file*/, long long /*done*/, long long /*total*/) {}
    virtual void Repaint() {}
};

// The window's state that start-up, the run and the generators read and change, kept apart
// from any widget so that every rule can be tested without a screen.
class FormState {
public:
    void SetView(FormView* view) { view_ = view ? view : &silent_; }

    // The summary figures, and the captions the window shows for them.
    const ReturnFigures& Figures() const { return figures_; }
    // Changes the figures and tells the view which captions changed.
    template <typename Change>
    void UpdateFigures(Change&& change) {
        SummaryCaptions before = CaptionsOf(figures_);
        change(figures_);
        NotifyCaptionChanges(before);
    }
    SummaryCaptions Captions() const { return CaptionsOf(figures_); }
    // The caption of a label by its designed name ("lbl_InputVAT_Plus", "lbl_pay", ...).
    std::string Caption(std::string_view label) const;

    // The error list. ErrorTypeText is the Type of every validation row.
    std::string ErrorTypeText;
    void AddValidationError(std::string message, std::string document = {}, std::string file = {},
                            std::optional<long long> line = {});
    // A row the run adds; document names the document and voucher it is about.
    void AddErrorRow(std::string type, std::string error, std::string document = {});
    void ClearErrorRows();
    const std::vector<ErrorRow>& ErrorRows() const { return errorRows_; }

    // Messages to the user, kept in order until ClearMessages.
    void ShowMessage(UserMessage message);
    void ClearMessages() { messages_.clear(); }
    const std::vector<UserMessage>& Messages() const { return messages_; }

    void ReportProgress(const std::string& file, long long done, long long total) {
        view_->Progress(file, done, total);
    }
    void Repaint() { view_->Repaint(); }

    UrdTotals Urd;

    // The selected data file and what its settings row gave.
    std::string SelectedDataFile;
    bool DataFileReady = false;  // false until a data file was opened and its settings read
    std::optional<LedgerDate> YearStart;
    std::optional<LedgerDate> YearEnd;
    std::string DealerTin;
    std::string TinFlag;  // "NN" while the selected data file's TIN is not 11 characters

    // Return files written by the latest run, in the order written.
    std::vector<std::string> FilesWritten;
    // One account per return file of the latest run, in run order.
    std::vector<FileAccount> FileAccounts;

private:
    void NotifyCaptionChanges(const SummaryCaptions& before);
    void AppendErrorRow(ErrorRow row);

    ReturnFigures figures_;
    std::vector<ErrorRow> errorRows_;
    std::vector<UserMessage> messages_;
    FormView silent_;
    FormView* view_ = &silent_;
};

}  // namespace vat
