#include "marqueta/app/ToolTipFilter.h"

#include <QEvent>

bool ToolTipFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) return true;
    return QObject::eventFilter(watched, event);
}
