#pragma once

#include <QStringList>

#include "app/message_presenter.h"

// Keeps the window's messages instead of showing modal boxes, and answers a file dialog with
// the file set beforehand.
class RecordingPresenter : public MessagePresenter {
public:
    using MessagePresenter::Show;
    void Show(const QString& text, bool critical, const QString& detail) override {
        texts.append(text);
        criticalFlags.append(critical);
        details.append(detail);
    }

    QString AskSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return saveFile;
    }

    QStringList texts;
    QList<bool> criticalFlags;
    QStringList details;
    QString saveFile;
};
