#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ledger/ledger_date.h"
#include "returns/return_figures.h"
#include "returns/summary_captions.h"

namespace vat {

// One row of the error list: the Type and Error columns (the Code column stays empty).
struct ErrorRow {
    std::string type;
    std::string error;
    friend bool operator==(const ErrorRow&, const ErrorRow&) = default;
};

struct UserMessage {
    std::string text;
    bool critical = false;  // shown with the critical-error icon
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
    void AddValidationError(const std::string& message);
    void AddErrorRow(std::string type, std::string error);
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

private:
    void NotifyCaptionChanges(const SummaryCaptions& before);

    ReturnFigures figures_;
    std::vector<ErrorRow> errorRows_;
    std::vector<UserMessage> messages_;
    FormView silent_;
    FormView* view_ = &silent_;
};

}  // namespace vat
