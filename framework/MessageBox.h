#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every question or message the program puts to the user goes through
// ShowMessageBox, so that tests can answer it without a window ever blocking.

enum class TMessageIcon { None, Information, Question, Warning, Error };

// Dialog: a modal box with the given buttons. PopupMenu: a small menu at
// Position offering the buttons as entries (used for choices such as the
// right-button drop menu); the answer is read the same way. Input: a modal box
// asking for a line of text (Input, then the answer's Input), with the buttons
// OK and Abbrechen unless Buttons names two others; Abbrechen answers EscapeButton.
enum class TMessageStyle { Dialog, PopupMenu, Input };

struct TMessageRequest
{
    QWidget* Owner = nullptr;
    QString Caption;
    QString Text;  // shown as plain text: names in it are never read as markup
    TMessageIcon Icon = TMessageIcon::None;
    TMessageStyle Style = TMessageStyle::Dialog;
    // Captions of the buttons (or menu entries), in order; empty means one "OK".
    QStringList Buttons;
    int DefaultButton = 0;
    // The answer when the user closes the box or menu without choosing (Esc).
    int EscapeButton = -1;
    // A check box under the text (such as "Für alle wiederholen"); empty: none.
    QString CheckBoxText;
    QPoint Position;
    QString Input;  // the line's text when the Input box opens
};

struct TMessageAnswer
{
    int Button = -1;       // index into Buttons, or EscapeButton
    bool Checked = false;  // the check box's state when the box closed
    QString Input{};       // the line's text when an Input box closed by its first button
};

using TMessageHandler = std::function<TMessageAnswer(const TMessageRequest&)>;

TMessageAnswer ShowMessageBox(const TMessageRequest& request);

// Replaces the function that shows the boxes (tests answer them here);
// returns the previous one. An empty handler restores the real dialogs.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// Installs a handler for the lifetime of a scope.
class TScopedMessageHandler
{
public:
    explicit TScopedMessageHandler(TMessageHandler handler);
    ~TScopedMessageHandler();
    TScopedMessageHandler(const TScopedMessageHandler&) = delete;
    TScopedMessageHandler& operator=(const TScopedMessageHandler&) = delete;

private:
    TMessageHandler previous_;
};
