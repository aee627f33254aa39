#pragma once

#include "app/work/TProgressWindow.h"
#include "engine/host/TEngineHost.h"
#include "framework/TImageList.h"

#include <QMainWindow>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Ui {
class TMainForm;
}

class TAboutBox;
class TEngineWorker;
class TPzShellLink;
class TPzShellList;
class TPzShellTree;
class QCloseEvent;
class QShowEvent;

// The program's one main window: the button row, the log memo and the two
// tabs (split, join), each with a folder tree and a file list. All four panes
// hang on one link, so both tabs always show the same folder. It is laid out
// by its form; the handlers below are its only behaviour.
class TMainForm : public QMainWindow
{
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
    // Both run the engine off the user-interface thread and return when it has
    // ended; meanwhile the window takes no input, and after a moment a
    // progress window shows how far the work is and can stop it.
    void SplitFile(const std::string& sourcePath);
    // Joins the series the picked piece belongs to back into its source file.
    void CombineFile(const std::string& pickedPath);

    // Opens the file's folder in the panes with the file selected: on the join
    // tab when its name ends in a piece number, on the split tab otherwise.
    void ShowStartFile(const QString& path);
    // Opens the folder in the panes, on the split tab.
    void ShowStartFolder(const QString& path);

    TPzShellLink& PzShellLink1() { return *pzShellLink1_; }

    // True while a split or a join runs.
    bool IsWorking() const { return worker_ != nullptr; }
    // How long work runs before its progress window opens; shorter work shows none.
    void SetProgressWindowDelay(std::chrono::milliseconds delay) { progressWindowDelay_ = delay; }

protected:
    void showEvent(QShowEvent* event) override;
    // Esc on a pane that is not editing a caption ends the program like "Beenden".
    bool eventFilter(QObject* watched, QEvent* event) override;
    // While work runs, the window closes only when the user agrees to stop it,
    // and only once it has stopped.
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadTabImages();
    void ApplyFonts();
    void SetUpPanes();
    void SetAccessibleNames();
    // The size button's menu of usual sizes, and the label of SizeEd's size in units.
    void SetUpSizePresets();
    void ShowSizeUnits();
    // "In gleiche Teile…": asks for a number of pieces of the selected file and sets its size.
    void AskEqualPieces();
    // The path of the file selected in the list, as its bytes; empty for none, a folder, or an
    // entry in no folder on disk (the trash).
    std::string SelectedFilePath(TPzShellList& list);
    // The double-click procedure shared by both tabs.
    void ActivateEntry(TPzShellList& list, void (TMainForm::*operation)(const std::string&));
    void ListKeyPress(TPzShellList& list, QChar& key, void (TMainForm::*activate)());
    // The piece size SizeEd's text gives; 0 when it is no whole number of at least 1.
    std::int64_t PieceSize() const;
    // Runs work on a worker thread with the window's log and message boxes as
    // its host, the window modal and the progress window after a moment.
    void RunEngineWork(TProgressWindow::TKind kind, const std::string& filePath, std::function<void()> refresh,
                       const std::function<void(const TEngineHost& host)>& work);

    std::unique_ptr<Ui::TMainForm> ui_;
    TImageList imageList1_;
    TPzShellLink* pzShellLink1_ = nullptr;  // a child of the form
    TAboutBox* aboutBox_ = nullptr;
    bool shownBefore_ = false;
    TEngineWorker* worker_ = nullptr;  // the running work, owned by RunEngineWork
    bool closeAfterWork_ = false;      // the user closed the window while work ran
    std::chrono::milliseconds progressWindowDelay_;
};
