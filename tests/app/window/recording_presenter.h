#pragma once

#include <QStringList>

#include "app/window/message_presenter.h"

// Keeps the window's messages instead of showing modal boxes, and answers a question and a file
// dialog with the answer and the file set beforehand.
class RecordingPresenter : public MessagePresenter {
public:
    using MessagePresenter::show;
    void show(const QString& text, bool critical, const QString& detail) override {
        texts.append(text);
        criticalFlags.append(critical);
        details.append(detail);
    }

    bool confirm(const QString& question) override {
        questions.append(question);
        return answer;
    }

    QString askSaveFile(const QString&, const QString& suggested, const QString&,
                        const QString&) override {
        suggestedFile = suggested;
        return saveFile;
    }

    std::optional<FilingAnswer> askFiling(const QString& monthTitle) override {
        filingAsked = monthTitle;
        return filing;
    }

    QStringList texts;
    QList<bool> criticalFlags;
    QStringList details;
    QString saveFile;
    QString suggestedFile;
    QStringList questions;
    bool answer = false;                 // to every question
    std::optional<FilingAnswer> filing;  // what Mark as filed... is told
    QString filingAsked;                 // the month it asked of
};
