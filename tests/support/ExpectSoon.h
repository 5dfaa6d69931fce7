#pragma once
// Waiting in a GoogleTest test for something the event loop brings (a timer, a queued signal, a
// background read): waits until get() gives want, then compares, so that a wait that ends
// without it fails the test. (Qt's QTRY_ macros report their failure to QTest alone.)
#include <ostream>

#include <QString>
#include <QTest>
#include <gtest/gtest.h>

// A text compared in a test shows as text when the comparison fails.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

template <class Get, class Want>
void ExpectSoon(const Get& get, const Want& want, int timeoutMs = 5000) {
    if (!QTest::qWaitFor([&] { return get() == want; }, timeoutMs)) {
        EXPECT_EQ(get(), want);
    }
}
