#include "platform/SystemLog.h"

#include "platform/SystemIo.h"

namespace platform {

namespace {

SystemLogSink& Sink() {
    static SystemLogSink sink;
    return sink;
}

}  // namespace

void WriteSystemLog(const std::string& identifier, const std::string& text) {
    if (Sink()) return Sink()(identifier, text);
    sys::SystemLogRecord(identifier, text);
}

void RedirectSystemLog(SystemLogSink sink) { Sink() = std::move(sink); }

std::string OperatorName() { return sys::UserName(); }

bool StandardErrorIsTerminal() { return sys::StandardErrorIsTerminal(); }

}  // namespace platform
