#pragma once
// Fires once at every local midnight, so that what depends on today's date follows the calendar
// while the program runs.
#include <ctime>
#include <functional>

#include <QObject>
#include <QTimer>

class MidnightTimer : public QObject {
    Q_OBJECT
public:
    // clock gives the current moment; the real clock when empty.
    explicit MidnightTimer(std::function<std::time_t()> clock = {}, QObject* parent = nullptr);

    // Milliseconds from now until just after the next local midnight.
    static qint64 UntilNextMidnight(std::time_t now);

signals:
    void midnight();

private:
    void arm();

    std::function<std::time_t()> clock_;
    QTimer timer_;
};
