#pragma once

#include "controls/spin/SpinValueText.h"

#include <QLineEdit>

#include <cstdint>
#include <functional>
#include <memory>

class QMenu;
class TPzSpinButton;
class TPzUpDown;

enum TSpinButtonKind { bkStandard, bkDiagonal };

// A one-line numeric edit with a spin button at its right edge (left with right-to-left reading).
// It keeps no number of its own: the text is the value, read whenever Value() is asked for and
// rewritten by SetValue(). Up and Down step the value; Enter and Esc go on to the window, so that
// a dialog's default and cancel buttons get them.
//
// Forms made in Qt Designer set the numbers through the text properties MinValue, MaxValue,
// Increment and Value (long double is no property type). Write them with stdset="0" in the .ui file,
// in C notation ("1E22", "0.5"); the value is set after the bounds, as it is clamped to them:
//   <property name="MaxValue" stdset="0"><string>1E22</string></property>
class TPzSpinEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString MinValue READ MinValueText WRITE SetMinValueText)
    Q_PROPERTY(QString MaxValue READ MaxValueText WRITE SetMaxValueText)
    Q_PROPERTY(QString Increment READ IncrementText WRITE SetIncrementText)
    Q_PROPERTY(QString Value READ ValueText WRITE SetValueText)
    Q_PROPERTY(int Decimal READ DecimalNumber WRITE SetDecimalNumber)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE SetEditorEnabled)
    Q_PROPERTY(bool ArrowKeys READ ArrowKeys WRITE SetArrowKeys)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)

public:
    // Width of the sunken border the edit draws around its text, as a Windows 3-D edge.
    static constexpr int kEdgeWidth = 2;
    // Height of a thin system border; the edit is at least the font height plus four of them plus one.
    static constexpr int kBorderHeight = 1;

    explicit TPzSpinEdit(QWidget* parent = nullptr);
    ~TPzSpinEdit() override;

    long double Value() const;
    void SetValue(long double value);
    long double MinValue() const { return minValue_; }
    void SetMinValue(long double value) { minValue_ = value; }
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double value) { maxValue_ = value; }
    long double Increment() const { return increment_; }
    void SetIncrement(long double value) { increment_ = value; }
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType type);
    std::uint8_t Decimal() const { return decimal_; }
    void SetDecimal(std::uint8_t digits);
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind kind);
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool enabled) { arrowKeys_ = enabled; }
    // Horizontal alignment of the text (Qt::AlignLeft by default).
    Qt::Alignment Alignment() const { return alignment(); }
    void SetAlignment(Qt::Alignment alignment) { setAlignment(alignment); }
    // Select the whole text when the edit is entered other than by a click.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool enabled) { autoSelect_ = enabled; }

    // The typing filter: whether the character may be typed into the edit.
    virtual bool AcceptsChar(QChar c) const;
    virtual void StepUp();
    virtual void StepDown();
    // value bounded by MinValue and MaxValue; equal bounds bound nothing.
    long double ClampValue(long double value) const;

    // The edit's context menu, with the commands that change the text disabled where they may not run.
    std::unique_ptr<QMenu> CreateContextMenu();

    // The diagonal button and the child window holding it (null with bkStandard), or the up-down
    // control (null with bkDiagonal).
    TPzSpinButton* SpinButton() const { return spinButton_; }
    QWidget* ButtonWindow() const { return buttonWindow_; }
    TPzUpDown* UpDown() const { return upDown_; }
    // The lowest the edit gets with its present font.
    int MinimumEditHeight() const;

    // Raised when the text changes, by typing or by setting; a step raises it once.
    std::function<void()> OnChange;
    // Raised after a step up or down.
    std::function<void()> OnTopClick;
    std::function<void()> OnBottomClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString MinValueText() const;
    void SetMinValueText(const QString& text);
    QString MaxValueText() const;
    void SetMaxValueText(const QString& text);
    QString IncrementText() const;
    void SetIncrementText(const QString& text);
    QString ValueText() const;
    void SetValueText(const QString& text);
    int DecimalNumber() const { return decimal_; }
    void SetDecimalNumber(int digits);

    void Step(long double delta, const std::function<void()>& clickEvent);
    void TextChanged();
    bool MayPasteAndCut() const;
    bool IsEditingKey(QKeyEvent* event) const;
    void CreateButton();
    void LayoutButton();
    void UpdateMinimumHeight();
    QChar DecimalSeparator() const;

    long double minValue_ = 0;
    long double maxValue_ = 0;
    long double increment_ = 1;
    TValueType valueType_ = vtInteger;
    std::uint8_t decimal_ = 2;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    bool editorEnabled_ = true;
    bool arrowKeys_ = true;
    bool autoSelect_ = true;
    // Set while a step rewrites the text, which then raises the change event itself.
    bool changing_ = false;
    QWidget* buttonWindow_ = nullptr;
    TPzSpinButton* spinButton_ = nullptr;
    TPzUpDown* upDown_ = nullptr;
};
