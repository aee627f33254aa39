#include "shell/notifier/TPzNotifyThread.h"

#include "framework/UiThread.h"

TPzNotifyThread::TPzNotifyThread(QObject* sender, TNotificationEvent event, QString path1, QString path2,
                                 THandler handler)
    : sender_(sender)
    , event_(event)
    , path1_(std::move(path1))
    , path2_(std::move(path2))
    , handler_(std::move(handler))
{
}

void TPzNotifyThread::Start(std::unique_ptr<TPzNotifyThread> thread)
{
    std::shared_ptr<TPzNotifyThread> shared = std::move(thread);
    PostToUiThread([shared] { shared->Execute(); });
}

void TPzNotifyThread::Execute() const
{
    if (sender_ && handler_)
        handler_(sender_.data(), event_, path1_, path2_);
}
