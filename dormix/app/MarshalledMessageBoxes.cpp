#include "dormix/app/MarshalledMessageBoxes.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

platform::Answer MarshalledMessageBoxes::show(const std::string& text, const std::string& caption,
                                              platform::Buttons buttons, platform::Severity severity) {
    if (QThread::currentThread() == windowObject_->thread()) return target_.show(text, caption, buttons, severity);
    platform::Answer answer = platform::Answer::Failed;
    QMetaObject::invokeMethod(
        windowObject_, [&] { answer = target_.show(text, caption, buttons, severity); }, Qt::BlockingQueuedConnection);
    return answer;
}
