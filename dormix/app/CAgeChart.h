#pragma once
// The accounts by time since their last logon as a bar chart, the threshold drawn across it. For
// accessibility tools the chart's description tells every band with its count and what the
// threshold would delete.
#include <array>

#include <QWidget>

#include "dormix/scan/AccountAges.h"

class CAgeChart : public QWidget {
public:
    explicit CAgeChart(const AccountAges& ages, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int labelWidth() const;
    int countWidth() const;

    AccountAges ages_;
    // One unpainted child over each row, so that a screen reader meets every bar with its band and count.
    std::array<QWidget*, kAgeBandCount> bars_{};
};
