#pragma once

#include <functional>
#include <string>
#include <utility>

#include "returns/results/form_state.h"

// A view of a form that only passes its progress on: for a form kept aside, whose captions,
// rows and messages are not to reach the window.
class ProgressRelay : public vat::FormView {
public:
    using Follower = std::function<void(const std::string& file, long long done, long long total)>;
    explicit ProgressRelay(Follower follower) : follower_(std::move(follower)) {}

    void Progress(const std::string& file, long long done, long long total) override {
        follower_(file, done, total);
    }

private:
    Follower follower_;
};
