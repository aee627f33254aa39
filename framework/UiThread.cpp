#include "framework/UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

bool IsUiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

void CallOnUiThread(const std::function<void()>& step)
{
    if (IsUiThread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&step] { step(); }, Qt::BlockingQueuedConnection);
}

void PostToUiThread(std::function<void()> step)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(step), Qt::QueuedConnection);
}
