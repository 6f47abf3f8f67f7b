#pragma once

#include <optional>

#include "app/window/message_presenter.h"

// Asks the acknowledgement the portal gave for the month's return and the day it was filed,
// today offered; nullopt when the user cancels.
std::optional<FilingAnswer> AskFiling(QWidget* parent, const QString& monthTitle);
