#include "framework/MessageBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <mutex>
#include <utility>

namespace {

QMessageBox::Icon BoxIcon(TMessageIcon icon)
{
    switch (icon) {
    case TMessageIcon::Information: return QMessageBox::Information;
    case TMessageIcon::Question: return QMessageBox::Question;
    case TMessageIcon::Warning: return QMessageBox::Warning;
    case TMessageIcon::Error: return QMessageBox::Critical;
    case TMessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QStringList ButtonsOf(const TMessageRequest& request)
{
    return request.Buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : request.Buttons;
}

TMessageAnswer ShowDialog(const TMessageRequest& request)
{
    QMessageBox box(BoxIcon(request.Icon), request.Caption, request.Text, QMessageBox::NoButton, request.Owner);
    // Messages quote names and paths; none of the program's texts needs markup.
    box.setTextFormat(Qt::PlainText);
    const QStringList captions = ButtonsOf(request);
    QList<QAbstractButton*> buttons;
    for (const QString& caption : captions)
        buttons.append(box.addButton(caption, QMessageBox::AcceptRole));
    if (request.DefaultButton >= 0 && request.DefaultButton < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons[request.DefaultButton]));
    if (request.EscapeButton >= 0 && request.EscapeButton < buttons.size())
        box.setEscapeButton(buttons[request.EscapeButton]);
    QCheckBox* checkBox = nullptr;
    if (!request.CheckBoxText.isEmpty()) {
        checkBox = new QCheckBox(request.CheckBoxText, &box);  // owned by the box
        box.setCheckBox(checkBox);
    }
    box.exec();
    TMessageAnswer answer;
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    answer.Button = chosen >= 0 ? int(chosen) : request.EscapeButton;
    answer.Checked = checkBox != nullptr && checkBox->isChecked();
    return answer;
}

TMessageAnswer ShowMenu(const TMessageRequest& request)
{
    QMenu menu(request.Owner);
    const QStringList captions = ButtonsOf(request);
    QList<QAction*> actions;
    for (const QString& caption : captions)
        actions.append(menu.addAction(caption));
    if (request.DefaultButton >= 0 && request.DefaultButton < actions.size())
        menu.setDefaultAction(actions[request.DefaultButton]);
    const qsizetype chosen = actions.indexOf(menu.exec(request.Position));
    TMessageAnswer answer;
    answer.Button = chosen >= 0 ? int(chosen) : request.EscapeButton;
    return answer;
}

TMessageAnswer ShowInput(const TMessageRequest& request)
{
    QInputDialog box(request.Owner);
    box.setWindowTitle(request.Caption);
    box.setLabelText(request.Text);
    box.setTextValue(request.Input);
    const bool ownButtons = request.Buttons.size() == 2;
    box.setOkButtonText(ownButtons ? request.Buttons[0] : QStringLiteral("OK"));
    box.setCancelButtonText(ownButtons ? request.Buttons[1] : QStringLiteral("Abbrechen"));
    TMessageAnswer answer;
    if (box.exec() == QDialog::Accepted) {
        answer.Button = 0;
        answer.Input = box.textValue();
    } else {
        answer.Button = request.EscapeButton;
    }
    return answer;
}

TMessageAnswer ShowReal(const TMessageRequest& request)
{
    switch (request.Style) {
    case TMessageStyle::PopupMenu: return ShowMenu(request);
    case TMessageStyle::Input: return ShowInput(request);
    case TMessageStyle::Dialog: break;
    }
    return ShowDialog(request);
}

std::mutex& HandlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

TMessageHandler& CurrentHandler()
{
    static TMessageHandler handler;
    return handler;
}

}  // namespace

TMessageAnswer ShowMessageBox(const TMessageRequest& request)
{
    TMessageHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = CurrentHandler();
    }
    return handler ? handler(request) : ShowReal(request);
}

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    std::lock_guard lock(HandlerMutex());
    return std::exchange(CurrentHandler(), std::move(handler));
}

TScopedMessageHandler::TScopedMessageHandler(TMessageHandler handler)
    : previous_(SetMessageHandler(std::move(handler)))
{
}

TScopedMessageHandler::~TScopedMessageHandler()
{
    SetMessageHandler(std::move(previous_));
}
