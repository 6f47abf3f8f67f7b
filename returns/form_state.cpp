#include "returns/form_state.h"

#include <stdexcept>

#include "returns/number_forms.h"

namespace vat {

FormState::FormState()
    : captions_{
          {"lbl_InputVAT_Plus", "0.00"},
          {"lbl_InputVAT_Minus", "0.00"},
          {"lbl_OutputVAT_Plus", "0.00"},
          {"lbl_OutputVAT_Minus", "0.00"},
          {"lbl_TaxPayableRefundable", "VAT Pay/Ref"},
          {"lbl_TaxAmt", "0.00"},
          {"lbl_CST_Purchase", "0.00"},
          {"lbl_CST_Sales", "0.00"},
          {"lbl_Pur_URD_NoOfBills", ""},
          {"lbl_Pur_URD_Basic_Amt", "0.00"},
          {"lbl_Pur_URD_VAT_Amt", "0.00"},
          {"lbl_Sal_URD_NoOfBills", ""},
          {"lbl_Sal_URD_Basic_Amt", "0.00"},
          {"lbl_Sal_URD_VAT_Amt", "0.00"},
          {"lbl_in_p", "0.00"},
          {"lbl_in_n", "0.00"},
          {"lbl_in_net", "0.00"},
          {"lbl_out_p", "0.00"},
          {"lbl_out_n", "0.00"},
          {"lbl_out_net", "0.00"},
          {"lbl_pay", "0.00"},
      } {}

const std::string& FormState::Caption(std::string_view label) const {
    for (const auto& [name, caption] : captions_)
        if (name == label) return caption;
    throw std::out_of_range("No summary label named " + std::string(label));
}

void FormState::SetCaption(std::string_view label, std::string caption) {
    for (auto& [name, current] : captions_) {
        if (name != label) continue;
        if (current == caption) return;
        current = std::move(caption);
        view_->CaptionChanged(name, current);
        if (label == "lbl_in_net" || label == "lbl_out_net")
            SetCaption("lbl_pay",
                       PictureText(CaptionValue("lbl_out_net") - CaptionValue("lbl_in_net")));
        return;
    }
    throw std::out_of_range("No summary label named " + std::string(label));
}

double FormState::CaptionValue(std::string_view label) const {
    return LeadingNumber(Caption(label));
}

void FormState::AddValidationError(const std::string& message) {
    AddErrorRow(ErrorTypeText, message);
}

void FormState::AddErrorRow(std::string type, std::string error) {
    errorRows_.push_back({std::move(type), std::move(error)});
    view_->ErrorRowsChanged();
}

void FormState::ClearErrorRows() {
    errorRows_.clear();
    view_->ErrorRowsChanged();
}

void FormState::ShowMessage(UserMessage message) {
    messages_.push_back(message);
    view_->ShowMessage(messages_.back());
}

}  // namespace vat
