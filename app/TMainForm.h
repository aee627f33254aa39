#pragma once

#include "framework/TImageList.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class TMainForm;
}

class TAboutBox;
class QShowEvent;

// The program's one main window: the button row, the log memo and the two
// tabs (split, join). It is laid out by its form; the handlers below are its
// only behaviour.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The dialog AboutBtnClick shows; made after the main window, so it is
    // handed over once it exists. Not owned.
    void SetAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }

    // The tab images: 0 the scissors of the split tab, 1 the glue stick of the join tab.
    const TImageList& ImageList1() const { return imageList1_; }

    // Shows the about box modally and returns when it is closed.
    void AboutBtnClick();
    // Closes the main window, which ends the program.
    void EndeprgBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadTabImages();
    void ApplyFonts();

    std::unique_ptr<Ui::TMainForm> ui_;
    TImageList imageList1_;
    TAboutBox* aboutBox_ = nullptr;
    bool shownBefore_ = false;
};
