#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "app/message_presenter.h"
#include "ledger/ledger_connection.h"
#include "returns/form_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class RunStatusLine;
class Twips;

// The one window: choice of data file and month, the Generate Files run, the summary figures
// and the error list. Every rule lives in the core; the window shows FormState and passes the
// user's choices on.
class Form1 : public QWidget, private vat::FormView {
    Q_OBJECT

public:
    // Return files go below programFolder. Without a presenter messages are modal boxes.
    explicit Form1(std::filesystem::path programFolder,
                   std::unique_ptr<MessagePresenter> messages = nullptr, QWidget* parent = nullptr);

    // Start-up; false when the server cannot be reached and the program has to end.
    bool Form_Load();

    vat::FormState& State() { return state_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class LabelLook { Prompt, Heading, Plain, Value, Highlight };

    void CreateSelectionControls(const Twips& at);
    void CreateLocalSummary(const Twips& at);
    void CreateInterstateSummary(const Twips& at);
    void CreateUrdSummary(const Twips& at);
    void CreateSecondarySummary(const Twips& at);
    void CreateErrorList(const Twips& at);
    QLabel* AddLabel(const char* name, const QString& text, QRect place, LabelLook look);
    void ConnectHandlers();

    void FillMonthList();
    void FillDataFileList(const std::vector<std::string>& dataFiles);
    void Combo2_Click();
    void SetupErrorGrid();
    void btn_Print_Click();
    void GenerationRun();
    void SetRunning(bool running);

    // vat::FormView
    void CaptionChanged(const std::string& label, const std::string& caption) override;
    void ErrorRowsChanged() override;
    void ShowMessage(const vat::UserMessage& message) override;
    void Progress(const std::string& file, long long done, long long total) override;
    void Repaint() override;

    vat::LedgerConnection ledger_;
    vat::FormState state_;
    std::unique_ptr<MessagePresenter> messages_;
    std::filesystem::path programFolder_;
    bool running_ = false;
    QElapsedTimer sinceProgressShown_;
    std::string progressFile_;

    QLabel* Label10;
    QComboBox* Combo2;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLabel* Label12;
    QComboBox* Combo1;
    QPushButton* Command1;

    QLabel* Label7;
    QLabel* Label17;
    QLabel* lbl_InputVAT_Plus;
    QLabel* Label16;
    QLabel* lbl_InputVAT_Minus;
    QLabel* Label15;
    QLabel* lbl_OutputVAT_Plus;
    QLabel* Label14;
    QLabel* lbl_OutputVAT_Minus;
    QLabel* lbl_TaxPayableRefundable;
    QLabel* lbl_TaxAmt;

    QLabel* Label9;
    QLabel* Label11;
    QLabel* lbl_CST_Purchase;
    QLabel* Label13;
    QLabel* lbl_CST_Sales;

    QLabel* Label27;
    QLabel* Label26;
    QLabel* lbl_Pur_URD_NoOfBills;
    QLabel* Label20;
    QLabel* lbl_Pur_URD_Basic_Amt;
    QLabel* Label21;
    QLabel* lbl_Pur_URD_VAT_Amt;
    QLabel* Label24;
    QLabel* Label23;
    QLabel* lbl_Sal_URD_NoOfBills;
    QLabel* Label22;
    QLabel* lbl_Sal_URD_Basic_Amt;
    QLabel* Label25;
    QLabel* lbl_Sal_URD_VAT_Amt;

    QLabel* Label1;
    QLabel* lbl_in_p;
    QLabel* Label2;
    QLabel* lbl_in_n;
    QLabel* Label3;
    QLabel* lbl_in_net;
    QLabel* Label4;
    QLabel* lbl_out_p;
    QLabel* Label5;
    QLabel* lbl_out_n;
    QLabel* Label6;
    QLabel* lbl_out_net;
    QLabel* Label8;
    QLabel* lbl_pay;

    QLabel* Label18;
    QLabel* Label19;
    QTableWidget* grd_Errors;
    QPushButton* btn_Print;
    RunStatusLine* runStatus_;
};
