#include "validation/identified_failures.h"

#include <algorithm>
#include <utility>

namespace vat::xml {

IdentifiedFailures::IdentifiedFailures(std::vector<std::string> identifyingChildren,
                                       const ValidationErrorSink& passOn)
    : names_(std::move(identifyingChildren)), passOn_(passOn) {}

void IdentifiedFailures::Enter(std::string_view localName, bool qualified, bool isRecord) {
    const bool inRecord = !open_.empty() && open_.back().kind == Kind::Record;
    if (isRecord) {
        open_.push_back({Kind::Record, openRecords_});
        if (openRecords_ == records_.size()) {
            records_.push_back(
                {0, std::vector<std::string>(names_.size()), std::vector<char>(names_.size())});
        }
        OpenRecord& record = records_[openRecords_++];
        record.serial = ++lastSerial_;
        for (std::string& text : record.texts) {
            text.clear();
        }
        std::fill(record.entered.begin(), record.entered.end(), 0);
        return;
    }
    const std::size_t record = inRecord ? open_.back().record : 0;
    open_.push_back({Kind::Other, 0});
    if (!inRecord || qualified || collecting_) {
        return;
    }
    const auto name = std::find(names_.begin(), names_.end(), localName);
    if (name == names_.end()) {
        return;
    }
    const auto index = static_cast<std::size_t>(name - names_.begin());
    if (!records_[record].entered[index]) {
        records_[record].entered[index] = 1;
        collecting_ = Collecting{open_.size() - 1, record, index};
    }
}

void IdentifiedFailures::Leave() {
    if (open_.empty()) {
        return;
    }
    const Kind kind = open_.back().kind;
    open_.pop_back();
    if (collecting_ && collecting_->depth == open_.size()) {
        collecting_.reset();
    }
    if (kind == Kind::Record) {
        CloseRecord();
    }
}

void IdentifiedFailures::Text(std::string_view text) {
    records_[collecting_->record].texts[collecting_->name] += text;
}

void IdentifiedFailures::Add(ValidationFailure failure, bool recordChild) {
    std::uint64_t record = 0;
    if (recordChild && open_.size() >= 2 && open_[open_.size() - 2].kind == Kind::Record) {
        record = records_[open_[open_.size() - 2].record].serial;
    }
    held_.push_back({std::move(failure), record});
    PassOnCompleted();
}

void IdentifiedFailures::Finish() {
    while (!open_.empty()) {
        Leave();
    }
}

void IdentifiedFailures::CloseRecord() {
    const OpenRecord& record = records_[--openRecords_];
    for (Held& held : held_) {
        if (held.record == record.serial) {
            held.failure.recordTexts = record.texts;
            held.record = 0;
        }
    }
    PassOnCompleted();
}

void IdentifiedFailures::PassOnCompleted() {
    while (!held_.empty() && held_.front().record == 0) {
        passOn_(held_.front().failure);
        held_.pop_front();
    }
}

}  // namespace vat::xml
