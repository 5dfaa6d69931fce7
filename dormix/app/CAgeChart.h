#pragma once
// The accounts by time since their last logon as a bar chart, the threshold drawn across it. For
// accessibility tools the chart's description tells every band with its count and what the
// threshold would delete.
#include <QWidget>

#include "dormix/scan/AccountAges.h"

class CAgeChart : public QWidget {
public:
    explicit CAgeChart(const AccountAges& ages, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int labelWidth() const;
    int countWidth() const;

    AccountAges ages_;
};
