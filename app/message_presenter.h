#pragma once

#include <QString>

class QWidget;

// Every message the window gives passes through here, so that tests can record messages
// instead of blocking on a modal box.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Returns when the user has dismissed the message.
    virtual void Show(const QString& text, bool critical) = 0;
};

// Modal message boxes with an OK button over the window.
class MessageBoxPresenter : public MessagePresenter {
public:
    explicit MessageBoxPresenter(QWidget* window) : window_(window) {}
    void Show(const QString& text, bool critical) override;

private:
    QWidget* window_;
};
