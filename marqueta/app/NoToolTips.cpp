#include "marqueta/app/NoToolTips.h"

#include <QEvent>

bool NoToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) return true;
    return QObject::eventFilter(watched, event);
}
