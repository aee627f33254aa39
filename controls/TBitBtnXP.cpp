#include "controls/TBitBtnXP.h"

TBitBtnXP::TBitBtnXP(QWidget* parent)
    : QPushButton(parent)
{
}
