#pragma once

#include <QStringList>

#include "app/message_presenter.h"

// Keeps the window's messages instead of showing modal boxes.
class RecordingPresenter : public MessagePresenter {
public:
    void Show(const QString& text, bool critical) override {
        texts.append(text);
        criticalFlags.append(critical);
    }

    QStringList texts;
    QList<bool> criticalFlags;
};
