#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutBox;
}

class QShowEvent;

// The program's information dialog: the picture, the claim of origin, the
// notice with the year of the program's start, the maker's lines, the button
// to the maker's web site and OK. Made hidden at start and shown modally by
// the main window as often as asked.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Puts the current year into the notice; runs once, at creation.
    void FormCreate();
    // Opens the address shown on the web button.
    void BitBtnXP1Click();

    // `caption` with its first "XXXX" replaced by `year`; unchanged without one.
    static QString InsertYear(const QString& caption, int year);

    // Why the picture could not be shown; empty when it is.
    QString PictureError() const { return pictureError_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ApplyLook();
    void LoadPicture();
    void LoadWebGlyph();

    std::unique_ptr<Ui::TAboutBox> ui_;
    QString pictureError_;
    bool shownBefore_ = false;
};
