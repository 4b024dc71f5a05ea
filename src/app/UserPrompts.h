// UserPrompts: the questions and messages the program puts to the user, behind an interface.
#pragma once

#include <QString>

class QWidget;

/// What the program shows the user modally; tests script it.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    /// Reports one failure in one message.
    virtual void ShowError(const QString &text) = 0;
};

/// The desktop's message boxes, parented to the main window.
class MessageBoxPrompts : public UserPrompts
{
public:
    explicit MessageBoxPrompts(QWidget *parent) : parent_(parent) {}

    void ShowError(const QString &text) override;

private:
    QWidget *parent_;
};
