#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;

// Read, write and execute for owner, group and others as nine check boxes,
// with the ls-style text ("rwxr-xr-x") beside them. Bits outside the nine
// (set-user-id, sticky ...) are kept as they were.
class TPermissionEditor final : public QWidget
{
public:
    explicit TPermissionEditor(unsigned mode, QWidget* parent = nullptr);

    // The mode with the boxes' bits.
    unsigned Mode() const;
    bool IsChanged() const { return Mode() != mode_; }

private:
    void UpdateText();

    unsigned mode_;
    std::array<QCheckBox*, 9> boxes_{};
    QLabel* text_ = nullptr;
};
