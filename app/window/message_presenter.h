#pragma once

#include <QDate>
#include <QString>
#include <optional>

class QWidget;

// What the user says of a month's return uploaded to the portal.
struct FilingAnswer {
    QString acknowledgement;
    QDate filedOn;
};

// Every message the window gives, and every file it asks for, passes through here, so that
// tests can record messages and answer questions instead of blocking on a modal box.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Returns when the user has dismissed the message. A detail, when given, is the cause in
    // the system's own words, which the user may unfold.
    virtual void show(const QString& text, bool critical, const QString& detail) = 0;
    void show(const QString& text, bool critical) { show(text, critical, {}); }

    // True when the user answers Yes to the question; No is the default answer.
    virtual bool confirm(const QString& question) = 0;

    // The file to save to, or empty when the user cancelled. filters as QFileDialog takes them;
    // a name without an extension gets defaultSuffix.
    virtual QString askSaveFile(const QString& caption, const QString& suggested,
                                const QString& filters, const QString& defaultSuffix) = 0;

    // The acknowledgement and the day a month was filed (today offered), or nullopt when the
    // user cancelled. None by default.
    virtual std::optional<FilingAnswer> askFiling(const QString& monthTitle) {
        (void)monthTitle;
        return std::nullopt;
    }
};

// Modal message boxes with an OK button or Yes and No, and the file dialog, over the window.
class MessageBoxPresenter : public MessagePresenter {
public:
    explicit MessageBoxPresenter(QWidget* window) : window_(window) {}
    using MessagePresenter::show;
    void show(const QString& text, bool critical, const QString& detail) override;
    bool confirm(const QString& question) override;
    QString askSaveFile(const QString& caption, const QString& suggested, const QString& filters,
                        const QString& defaultSuffix) override;
    std::optional<FilingAnswer> askFiling(const QString& monthTitle) override;

private:
    QWidget* window_;
};
