#pragma once
// The tool-bar buttons show no tool tip: this filter swallows the request for one.
#include <QObject>

class ToolTipFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
