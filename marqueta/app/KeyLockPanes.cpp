#include "marqueta/app/KeyLockPanes.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <QString>

void AddKeyLockPanes(QStatusBar& statusBar) {
    struct Pane {
        const char* objectName;
        const char* indicator;
    };
    for (const Pane pane : {Pane{"capsLockLabel", "CAP"}, Pane{"numLockLabel", "NUM"}, Pane{"scrollLockLabel", "SCRL"}}) {
        auto* label = new QLabel(&statusBar);
        label->setObjectName(QString::fromLatin1(pane.objectName));
        label->setAccessibleName(QString::fromLatin1(pane.indicator));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString::fromLatin1(pane.indicator)) + 8);
        statusBar.addPermanentWidget(label);
    }
}
