#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ledger/ledger_date.h"

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

// The run's accumulators of purchases from and sales to unregistered dealers.
struct UrdTotals {
    long long purchaseBills = 0;
    double purchaseBasic = 0;
    double purchaseVat = 0;
    long long salesBills = 0;
    double salesBasic = 0;
    double salesVat = 0;
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
    FormState();

    void SetView(FormView* view) { view_ = view ? view : &silent_; }

    // Summary captions, by the window's label names ("lbl_InputVAT_Plus", "lbl_pay", ...).
    const std::string& Caption(std::string_view label) const;
    // Setting lbl_in_net or lbl_out_net to a new text recomputes lbl_pay.
    void SetCaption(std::string_view label, std::string caption);
    // The leading number of a caption, "." as the decimal point.
    double CaptionValue(std::string_view label) const;
    const std::vector<std::pair<std::string, std::string>>& Captions() const { return captions_; }

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
    std::vector<std::pair<std::string, std::string>> captions_;
    std::vector<ErrorRow> errorRows_;
    std::vector<UserMessage> messages_;
    FormView silent_;
    FormView* view_ = &silent_;
};

}  // namespace vat
