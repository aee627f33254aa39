#include "tests/shell/ShellListFixture.h"

#include <QApplication>
#include <QTest>

void ShellListFixture::SetUp()
{
    NavigatorFixture::SetUp();
    answers_ = std::make_unique<TScopedMessageHandler>([this](const TMessageRequest& request) {
        questions.push_back(request);
        TMessageAnswer answer;
        answer.Button = 0;
        for (int i = 0; i < request.Buttons.size(); ++i)
            if (request.Buttons[i] == QLatin1String("Ja"))
                answer.Button = i;
        return answer;
    });
    link_ = std::make_unique<TPzShellLink>();
    list_ = std::make_unique<TPzShellList>();
    list_->SetShellLink(link_.get());
    list_->OnOperation = [this](QObject*, TPzShellOperations operation, const TFileNames& files,
                                const QString& destination) {
        reports.push_back({operation, files.Names(), destination});
    };
    tester_ = std::make_unique<QAbstractItemModelTester>(&list_->Model(),
                                                         QAbstractItemModelTester::FailureReportingMode::Fatal);
    list_->resize(500, 400);
    list_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list_.get()));
    list_->Loaded();
    list_->SetPath(QString::fromStdString(Work()));
}

void ShellListFixture::TearDown()
{
    tester_.reset();
    list_.reset();
    link_.reset();
    answers_.reset();
    NavigatorFixture::TearDown();
}

std::vector<QString> ShellListFixture::Captions() const
{
    std::vector<QString> captions;
    for (int row = 0; row < list_->Count(); ++row)
        captions.push_back(list_->Item(row)->Caption);
    return captions;
}

TListItem* ShellListFixture::ItemNamed(const QString& caption) const
{
    for (int row = 0; row < list_->Count(); ++row)
        if (list_->Item(row)->Caption == caption)
            return list_->Item(row);
    return nullptr;
}

void ShellListFixture::SelectOnly(const QString& caption)
{
    list_->SetSelected(nullptr);
    TListItem* item = ItemNamed(caption);
    ASSERT_NE(item, nullptr) << caption.toStdString();
    list_->SetItemSelected(item, true);
    list_->SetItemFocused(item);
    list_->setFocus();
}
