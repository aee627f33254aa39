#pragma once

#include "framework/TImageList.h"

#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TMainForm;
}

class TAboutBox;
class TPzShellLink;
class TPzShellList;
class TPzShellTree;
class QShowEvent;

// The program's one main window: the button row, the log memo and the two
// tabs (split, join), each with a folder tree and a file list. All four panes
// hang on one link, so both tabs always show the same folder. It is laid out
// by its form; the handlers below are its only behaviour.
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

    // Activation of an entry of the split tab's list (double-click, Enter): a
    // folder is opened, a file is split. The join tab's list likewise joins.
    void PzShellList1DblClick();
    void PzShellList2DblClick();
    // Enter (outside caption editing) activates the selected entry.
    void PzShellList1KeyPress(QChar& key);
    void PzShellList2KeyPress(QChar& key);

    // Cuts the file into pieces of the size in SizeEd, logging to Memo1, and
    // refreshes the split tab's list. Paths are the file names' own bytes.
    void SplitFile(const std::string& sourcePath);
    // Joins the series the picked piece belongs to back into its source file.
    void CombineFile(const std::string& pickedPath);

    // Opens the file's folder in the panes with the file selected: on the join
    // tab when its name ends in a piece number, on the split tab otherwise.
    void ShowStartFile(const QString& path);

    TPzShellLink& PzShellLink1() { return *pzShellLink1_; }

protected:
    void showEvent(QShowEvent* event) override;
    // Esc on a pane that is not editing a caption ends the program like "Beenden".
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadTabImages();
    void ApplyFonts();
    void SetUpPanes();
    void SetAccessibleNames();
    // The double-click procedure shared by both tabs.
    void ActivateEntry(TPzShellList& list, TPzShellTree& tree, void (TMainForm::*operation)(const std::string&));
    void ListKeyPress(TPzShellList& list, QChar& key, void (TMainForm::*activate)());
    // The piece size SizeEd's text gives; 0 when it is no whole number of at least 1.
    std::int64_t PieceSize() const;

    std::unique_ptr<Ui::TMainForm> ui_;
    TImageList imageList1_;
    TPzShellLink* pzShellLink1_ = nullptr;  // a child of the form
    TAboutBox* aboutBox_ = nullptr;
    bool shownBefore_ = false;
};
