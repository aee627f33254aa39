#pragma once

#include <QPushButton>

enum TBitBtnXPKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// Placeholder of the bitmap push button; its full behaviour is being built.
class TBitBtnXP : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtnXP(QWidget* parent = nullptr);

    TBitBtnXPKind Kind() const { return kind_; }
    void SetKind(TBitBtnXPKind kind) { kind_ = kind; }

private:
    TBitBtnXPKind kind_ = bkCustom;
};
