#pragma once
// Runs a modal dialog while a queued step works it, as an operator would.
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

// work gets the active modal widget once exec() has shown the dialog; it must close the dialog.
inline int RunModal(QDialog& dialog, const std::function<void(QWidget*)>& work) {
    QTimer::singleShot(0, &dialog, [&dialog, work] {
        QWidget* active = QApplication::activeModalWidget();
        EXPECT_EQ(active, &dialog);
        work(active);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog.done(-1);
        }
    });
    return dialog.exec();
}
