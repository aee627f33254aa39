#pragma once

#include "shell/notifier/NotificationEvents.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

// The deferred delivery of one change notification to a notifier's OnChange:
// the handler runs on the UI thread after the current event has been handled.
// A call queued to the UI thread does this without a thread per notification
// and keeps the notifications in the order they arrived. A delivery whose
// notifier is gone by then is dropped.
class TPzNotifyThread
{
public:
    using THandler =
        std::function<void(QObject* sender, TNotificationEvent event, const QString& path1, const QString& path2)>;

    TPzNotifyThread(QObject* sender, TNotificationEvent event, QString path1, QString path2, THandler handler);

    // Queues the delivery; the object lives until it has run.
    static void Start(std::unique_ptr<TPzNotifyThread> thread);

private:
    void Execute() const;

    QPointer<QObject> sender_;
    TNotificationEvent event_;
    QString path1_;
    QString path2_;
    THandler handler_;
};
