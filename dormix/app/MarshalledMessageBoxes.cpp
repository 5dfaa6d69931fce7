#include "dormix/app/MarshalledMessageBoxes.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

platform::Answer MarshalledMessageBoxes::show(const std::string& text, const std::string& caption,
                                              platform::Buttons buttons) {
    if (QThread::currentThread() == windowObject_->thread()) return target_.show(text, caption, buttons);
    platform::Answer answer = platform::Answer::Failed;
    QMetaObject::invokeMethod(
        windowObject_, [&] { answer = target_.show(text, caption, buttons); }, Qt::BlockingQueuedConnection);
    return answer;
}
