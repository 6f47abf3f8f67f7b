#include "returns/results/form_state.h"

#include <gtest/gtest.h>

namespace vat {
namespace {

class RecordingView : public FormView {
public:
    void CaptionChanged(const std::string& label, const std::string& caption) override {
        changes.push_back(label + "=" + caption);
    }
    void ShowMessage(const UserMessage& message) override { shown.push_back(message.text); }
    std::vector<std::string> changes;
    std::vector<std::string> shown;
};

TEST(FormState, TellsTheViewWhichCaptionsChanged) {
    FormState form;
    RecordingView view;
    form.SetView(&view);
    form.UpdateFigures([](ReturnFigures& figures) { figures.secondary.outputNet = 30000; });
    EXPECT_EQ(view.changes, (std::vector<std::string>{"lbl_out_net=300.00", "lbl_pay=300.00"}));
    form.UpdateFigures([](ReturnFigures& figures) { figures.secondary.inputNet = 45000; });
    EXPECT_EQ(form.Caption("lbl_pay"), "-150.00");
    EXPECT_EQ(view.changes.back(), "lbl_pay=-150.00");
}

TEST(FormState, StartsWithTheWindowsCaptions) {
    FormState form;
    EXPECT_EQ(form.Caption("lbl_InputVAT_Plus"), "0.00");
    EXPECT_EQ(form.Caption("lbl_Pur_URD_NoOfBills"), "");
    EXPECT_EQ(form.Caption("lbl_TaxPayableRefundable"), "VAT Pay/Ref");
    EXPECT_TRUE(form.ErrorRows().empty());
    EXPECT_THROW(form.Caption("lbl_nonsense"), std::out_of_range);
}

TEST(FormState, ValidationRowsCarryTheCurrentTypeText) {
    FormState form;
    RecordingView view;
    form.SetView(&view);
    form.ErrorTypeText = "Purchase Within State";
    form.AddValidationError("first");
    form.ErrorTypeText = "Sales Within State";
    form.AddValidationError("second");
    form.ShowMessage({"OVER", false});
    ASSERT_EQ(form.ErrorRows().size(), 2u);
    EXPECT_EQ(form.ErrorRows()[0], (ErrorRow{"Purchase Within State", "first"}));
    EXPECT_EQ(form.ErrorRows()[1], (ErrorRow{"Sales Within State", "second"}));
    EXPECT_EQ(view.shown, std::vector<std::string>{"OVER"});
    form.ClearErrorRows();
    EXPECT_TRUE(form.ErrorRows().empty());
}

}  // namespace
}  // namespace vat
