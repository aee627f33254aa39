#include "controls/spin/TPzSpinEdit.h"

#include "controls/spin/TPzSpinButton.h"
#include "controls/spin/TPzUpDown.h"
#include "framework/Beep.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPointer>

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Character code of Delete, which a key press reports as text but which types nothing.
constexpr char16_t kDeleteCode = 127;

// Numbers in form properties are written in C notation, the shortest text that reads back the same.
QString PropertyText(long double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

[[nodiscard]] bool ReadPropertyText(const QString& text, long double& value)
{
    const std::string latin = text.trimmed().toStdString();
    const char* begin = latin.data();
    if (!latin.empty() && latin.front() == '+')
        ++begin;
    long double read = 0;
    const auto result = std::from_chars(begin, latin.data() + latin.size(), read);
    if (result.ec != std::errc() || result.ptr != latin.data() + latin.size())
        return false;
    value = read;
    return true;
}

// The characters a key press types. Ctrl and Ctrl+Shift combinations are commands that type at
// most a control code, as Qt's own edits see them; Delete types nothing.
QString TypedText(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        return {};
    QString text = event->text();
    text.remove(QChar(kDeleteCode));
    return text;
}

bool IsEnterOrEsc(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

TPzSpinEdit::TPzSpinEdit(QWidget* parent)
    : QLineEdit(QStringLiteral("0"), parent)
{
    connect(this, &QLineEdit::textChanged, this, &TPzSpinEdit::TextChanged);
    UpdateMinimumHeight();
    CreateButton();
}

TPzSpinEdit::~TPzSpinEdit() = default;

long double TPzSpinEdit::Value() const
{
    return ReadSpinValue(text(), valueType_, minValue_, DecimalSeparator());
}

void TPzSpinEdit::SetValue(long double value)
{
    // A number that is none writes what unreadable text reads as.
    if (std::isnan(value))
        value = ReadSpinValue(QString(), valueType_, minValue_, DecimalSeparator());
    setText(WriteSpinValue(ClampValue(value), valueType_, decimal_, DecimalSeparator()));
}

long double TPzSpinEdit::ClampValue(long double value) const
{
    if (maxValue_ == minValue_)
        return value;
    if (value < minValue_)
        return minValue_;
    if (value > maxValue_)
        return maxValue_;
    return value;
}

void TPzSpinEdit::SetValueType(TValueType type)
{
    if (type == valueType_)
        return;
    const long double value = Value();
    valueType_ = type;
    SetValue(value);
}

void TPzSpinEdit::SetDecimal(std::uint8_t digits)
{
    if (digits == decimal_)
        return;
    decimal_ = digits;
    if (valueType_ == vtFloat)
        SetValue(Value());
}

void TPzSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    if (kind == buttonKind_)
        return;
    buttonKind_ = kind;
    CreateButton();
}

bool TPzSpinEdit::AcceptsChar(QChar c) const
{
    const char16_t code = c.unicode();
    bool accepted = code == u'+' || code == u'-' || (code >= u'0' && code <= u'9') || code < 32;
    if (!accepted && valueType_ == vtFloat) {
        if (c == DecimalSeparator())
            accepted = !text().contains(c);
        else if (code == u'e' || code == u'E')
            accepted = !text().toUpper().contains(QLatin1Char('E'));
    }
    if (!accepted && valueType_ == vtHex)
        accepted = (code >= u'a' && code <= u'f') || (code >= u'A' && code <= u'F');
    if (!editorEnabled_ && (code >= 32 || code == 8 || code == 46))
        accepted = false;
    return accepted;
}

void TPzSpinEdit::StepUp()
{
    Step(increment_, OnTopClick);
}

void TPzSpinEdit::StepDown()
{
    Step(-increment_, OnBottomClick);
}

void TPzSpinEdit::Step(long double delta, const std::function<void()>& clickEvent)
{
    if (isReadOnly()) {
        Beep();
        return;
    }
    const QString before = text();
    {
        struct TChangingGuard
        {
            bool& flag;
            ~TChangingGuard() { flag = false; }
        };
        changing_ = true;
        const TChangingGuard guard{changing_};
        SetValue(Value() + delta);
    }
    const QPointer<TPzSpinEdit> self(this);
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        if (OnChange)
            OnChange();
    }
    if (self && clickEvent)
        clickEvent();
}

void TPzSpinEdit::TextChanged()
{
    if (!changing_ && OnChange)
        OnChange();
}

bool TPzSpinEdit::MayPasteAndCut() const
{
    return editorEnabled_ && !isReadOnly();
}

bool TPzSpinEdit::IsEditingKey(QKeyEvent* event) const
{
    return event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace ||
           event->matches(QKeySequence::Delete) || event->matches(QKeySequence::Backspace) ||
           event->matches(QKeySequence::DeleteStartOfWord) || event->matches(QKeySequence::DeleteEndOfWord) ||
           event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine) ||
           event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
}

void TPzSpinEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (arrowKeys_ && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        event->accept();
        if (key == Qt::Key_Up)
            StepUp();
        else
            StepDown();
        return;
    }
    if (!MayPasteAndCut() && (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut))) {
        event->accept();
        return;
    }
    if (!editorEnabled_ && IsEditingKey(event)) {
        event->accept();
        Beep();
        return;
    }
    for (const QChar c : TypedText(event)) {
        if (!AcceptsChar(c)) {
            event->accept();
            Beep();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
    // Enter and Esc go on to the window, whose default or cancel button answers them.
    if (IsEnterOrEsc(key))
        event->ignore();
}

void TPzSpinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    for (const QChar c : event->commitString()) {
        if (!AcceptsChar(c)) {
            Beep();
            QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
            QLineEdit::inputMethodEvent(&withoutCommit);
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
}

void TPzSpinEdit::focusInEvent(QFocusEvent* event)
{
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    const bool enteredOtherThanByClick = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                         reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason;
    if (!autoSelect_) {
        if (!hadSelection)
            deselect();
    } else if (enteredOtherThanByClick && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        selectAll();
    }
}

void TPzSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu opening or another window taking over leaves the edit where it was.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    const long double value = Value();
    if (ClampValue(value) != value)
        SetValue(value);
}

void TPzSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    LayoutButton();
}

void TPzSpinEdit::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    LayoutButton();
}

void TPzSpinEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        UpdateMinimumHeight();
        LayoutButton();
        break;
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange: LayoutButton(); break;
    default: break;
    }
}

std::unique_ptr<QMenu> TPzSpinEdit::CreateContextMenu()
{
    if (MayPasteAndCut())
        return std::unique_ptr<QMenu>(createStandardContextMenu());
    // Qt's menu of a read-only edit offers exactly the commands that leave the text alone.
    struct TReadOnlyBracket
    {
        QLineEdit& edit;
        const bool wasReadOnly = edit.isReadOnly();
        ~TReadOnlyBracket() { edit.setReadOnly(wasReadOnly); }
    } bracket{*this};
    setReadOnly(true);
    return std::unique_ptr<QMenu>(createStandardContextMenu());
}

void TPzSpinEdit::contextMenuEvent(QContextMenuEvent* event)
{
    auto menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu.release()->popup(event->globalPos());
}

void TPzSpinEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the selection on X11.
    if (event->button() == Qt::MiddleButton && !MayPasteAndCut()) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TPzSpinEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (MayPasteAndCut())
        QLineEdit::dragEnterEvent(event);
    else
        event->ignore();
}

void TPzSpinEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (MayPasteAndCut())
        QLineEdit::dragMoveEvent(event);
    else
        event->ignore();
}

void TPzSpinEdit::dropEvent(QDropEvent* event)
{
    if (MayPasteAndCut())
        QLineEdit::dropEvent(event);
    else
        event->ignore();
}

void TPzSpinEdit::CreateButton()
{
    delete buttonWindow_;
    buttonWindow_ = nullptr;
    spinButton_ = nullptr;
    delete upDown_;
    upDown_ = nullptr;

    if (buttonKind_ == bkDiagonal) {
        buttonWindow_ = new QWidget(this);
        buttonWindow_->setCursor(Qt::ArrowCursor);
        spinButton_ = new TPzSpinButton(buttonWindow_);
        spinButton_->SetFocusControl(this);
        spinButton_->OnTopClick = [this] { StepUp(); };
        spinButton_->OnBottomClick = [this] { StepDown(); };
        buttonWindow_->show();
    } else {
        upDown_ = new TPzUpDown(this);
        upDown_->setCursor(Qt::ArrowCursor);
        const auto focusThenStep = [this](void (TPzSpinEdit::*step)()) {
            if ((focusPolicy() & Qt::TabFocus) && isEnabled() && isVisible() && !hasFocus())
                setFocus(Qt::MouseFocusReason);
            (this->*step)();
        };
        upDown_->OnUp = [focusThenStep] { focusThenStep(&TPzSpinEdit::StepUp); };
        upDown_->OnDown = [focusThenStep] { focusThenStep(&TPzSpinEdit::StepDown); };
        upDown_->show();
    }
    LayoutButton();
}

void TPzSpinEdit::LayoutButton()
{
    const int w = width();
    const int h = height();
    const bool rightToLeft = isRightToLeft();
    int buttonWidth = 0;
    if (buttonWindow_) {
        // Over a sunken border the square sits one pixel up into it, level with the client area's right edge.
        QRect square;
        if (hasFrame()) {
            const int side = std::max(h - 3, 0);
            square = QRect(rightToLeft ? -1 : w - h - 1, -1, side, side).translated(kEdgeWidth, kEdgeWidth);
        } else {
            square = QRect(rightToLeft ? 0 : w - h, 0, h, h);
        }
        buttonWindow_->setGeometry(square);
        spinButton_->setGeometry(0, 0, square.width(), square.height());
        buttonWidth = square.width();
    } else if (upDown_) {
        const int border = hasFrame() ? kEdgeWidth : 0;
        buttonWidth = upDown_->PreferredWidth();
        upDown_->setGeometry(rightToLeft ? border : w - border - buttonWidth, border, buttonWidth,
                             std::max(h - 2 * border, 0));
    }
    QMargins margins;
    if (rightToLeft)
        margins.setLeft(buttonWidth + 2);
    else
        margins.setRight(buttonWidth + 2);
    setTextMargins(margins);
}

int TPzSpinEdit::MinimumEditHeight() const
{
    return fontMetrics().height() + 4 * kBorderHeight + 1;
}

void TPzSpinEdit::UpdateMinimumHeight()
{
    setMinimumHeight(MinimumEditHeight());
}

QChar TPzSpinEdit::DecimalSeparator() const
{
    return QLocale().decimalPoint().at(0);
}

QString TPzSpinEdit::MinValueText() const
{
    return PropertyText(minValue_);
}

void TPzSpinEdit::SetMinValueText(const QString& text)
{
    static_cast<void>(ReadPropertyText(text, minValue_));  // a text that is no number keeps the value
}

QString TPzSpinEdit::MaxValueText() const
{
    return PropertyText(maxValue_);
}

void TPzSpinEdit::SetMaxValueText(const QString& text)
{
    static_cast<void>(ReadPropertyText(text, maxValue_));  // a text that is no number keeps the value
}

QString TPzSpinEdit::IncrementText() const
{
    return PropertyText(increment_);
}

void TPzSpinEdit::SetIncrementText(const QString& text)
{
    static_cast<void>(ReadPropertyText(text, increment_));  // a text that is no number keeps the value
}

QString TPzSpinEdit::ValueText() const
{
    return PropertyText(Value());
}

void TPzSpinEdit::SetValueText(const QString& text)
{
    long double value = 0;
    if (ReadPropertyText(text, value))
        SetValue(value);
}

void TPzSpinEdit::SetDecimalNumber(int digits)
{
    SetDecimal(static_cast<std::uint8_t>(std::clamp(digits, 0, 255)));
}
