#include "dormix/app/CAgeChart.h"

#include <QPainter>

#include "dormix/app/AgeChartLayout.h"

namespace {

constexpr int kGap = 6;  // between the texts and the bars

QString Text(const std::string& text) { return QString::fromLatin1(text.c_str()); }

}  // namespace

CAgeChart::CAgeChart(const AccountAges& ages, QWidget* parent) : QWidget(parent), ages_(ages) {
    setObjectName(QStringLiteral("ageChart"));
    setAccessibleName(QStringLiteral("Accounts by time since their last logon"));
    setAccessibleDescription(Text(AgesDescription(ages_)));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (std::size_t i = 0; i < kAgeBandCount; ++i) {
        bars_[i] = new QWidget(this);
        bars_[i]->setAccessibleName(Text(AgeBandText(ages_, static_cast<AgeBand>(i))));
        bars_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

void CAgeChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const AgeChartLayout layout = LayOutAgeChart(ages_, width(), height(), labelWidth(), countWidth());
    for (std::size_t i = 0; i < kAgeBandCount; ++i) {
        const ChartBox& row = layout.rows[i];
        bars_[i]->setGeometry(row.x, row.y, row.width, row.height);
    }
}

int CAgeChart::labelWidth() const {
    int widest = 0;
    for (std::size_t i = 0; i < kAgeBandCount; ++i)
        widest = std::max(widest, fontMetrics().horizontalAdvance(QString::fromLatin1(AgeBandLabel(static_cast<AgeBand>(i)))));
    return widest + kGap;
}

int CAgeChart::countWidth() const {
    return fontMetrics().horizontalAdvance(QString::number(ages_.total())) + kGap;
}

QSize CAgeChart::sizeHint() const {
    const int rowHeight = fontMetrics().height() + 4;
    return {labelWidth() + countWidth() + 200, rowHeight * static_cast<int>(kAgeBandCount)};
}

void CAgeChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const AgeChartLayout layout = LayOutAgeChart(ages_, width(), height(), labelWidth(), countWidth());
    const QPalette& colours = palette();
    for (std::size_t i = 0; i < kAgeBandCount; ++i) {
        const ChartBox& row = layout.rows[i];
        const ChartBox& bar = layout.bars[i];
        painter.setPen(colours.color(QPalette::WindowText));
        painter.drawText(QRect(row.x, row.y, labelWidth() - kGap, row.height), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(AgeBandLabel(static_cast<AgeBand>(i))));
        painter.fillRect(QRect(bar.x, bar.y, bar.width, bar.height), colours.color(QPalette::Highlight));
        painter.drawText(QRect(bar.x + bar.width + kGap / 2, row.y, countWidth(), row.height), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(ages_.counts[i]));
    }
    // The threshold: everything with a date below the line would go.
    QPen line(Qt::red);
    line.setWidth(2);
    line.setStyle(Qt::DashLine);
    painter.setPen(line);
    painter.drawLine(0, layout.thresholdY, width(), layout.thresholdY);
}
