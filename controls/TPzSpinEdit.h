#pragma once

#include <QLineEdit>

// Placeholder of the numeric spin edit; its full behaviour is being built.
class TPzSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TPzSpinEdit(QWidget* parent = nullptr);

    long double Value() const;
    void SetValue(long double value);
    long double MinValue() const { return minValue_; }
    void SetMinValue(long double value) { minValue_ = value; }
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double value) { maxValue_ = value; }

private:
    long double minValue_ = 0;
    long double maxValue_ = 0;
};
