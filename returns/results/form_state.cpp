#include "returns/results/form_state.h"

#include <stdexcept>
#include <utility>

namespace vat {

std::string FormState::Caption(std::string_view label) const {
    for (auto& [name, caption] : Captions())
        if (name == label) return caption;
    throw std::out_of_range("No summary label named " + std::string(label));
}

void FormState::NotifyCaptionChanges(const SummaryCaptions& before) {
    const SummaryCaptions after = CaptionsOf(figures_);
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i].second != before[i].second)
            view_->CaptionChanged(after[i].first, after[i].second);
}

void FormState::AddValidationError(std::string message, std::string document, std::string file,
                                   std::optional<long long> line) {
    AppendErrorRow({ErrorTypeText, std::move(message), std::move(document), std::move(file), line});
}

void FormState::AddErrorRow(std::string type, std::string error, std::string document) {
    AppendErrorRow({std::move(type), std::move(error), std::move(document)});
}

void FormState::AppendErrorRow(ErrorRow row) {
    errorRows_.push_back(std::move(row));
    view_->ErrorRowsChanged();
}

void FormState::ClearErrorRows() {
    errorRows_.clear();
    view_->ErrorRowsChanged();
}

void FormState::ShowMessage(UserMessage message) {
    messages_.push_back(std::move(message));
    view_->ShowMessage(messages_.back());
}

}  // namespace vat
