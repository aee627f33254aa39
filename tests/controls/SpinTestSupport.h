#pragma once

#include "controls/spin/TPzSpinEdit.h"
#include "framework/Beep.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}

// Counts beeps instead of sounding them while it lives.
class TBeepCounter
{
public:
    TBeepCounter()
        : previous_(SetBeepHook([this] { ++count_; }))
    {
    }
    ~TBeepCounter() { SetBeepHook(std::move(previous_)); }
    TBeepCounter(const TBeepCounter&) = delete;
    TBeepCounter& operator=(const TBeepCounter&) = delete;
    int Count() const { return count_; }

private:
    int count_ = 0;
    std::function<void()> previous_;
};

// A shown, active window with the spin edit set up as the main window's piece-size field and a
// second edit that can take the focus away from it.
class TSpinWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        edit_ = new TPzSpinEdit(window_.get());
        other_ = new QLineEdit(window_.get());
        layout->addWidget(edit_);
        layout->addWidget(other_);
        edit_->SetMinValue(1);
        edit_->SetMaxValue(1E22L);
        edit_->SetValue(1457664);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    void TearDown() override { window_.reset(); }

    // Gives the focus to the spin edit by a tab press, then takes it away the same way.
    void EnterEdit()
    {
        edit_->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([this] { return edit_->hasFocus(); }));
    }
    void LeaveEdit()
    {
        other_->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([this] { return other_->hasFocus(); }));
    }
    // Replaces the text as a user would: select all, then type.
    void TypeIntoEdit(const QString& typed)
    {
        edit_->selectAll();
        QTest::keyClicks(edit_, typed);
    }

    std::unique_ptr<QWidget> window_;
    TPzSpinEdit* edit_ = nullptr;
    QLineEdit* other_ = nullptr;
};
