#pragma once
// What the scan's tests share: an installation in a temporary folder, a fixed clock at 23:00
// and scripted message boxes.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

class ScanTest : public ::testing::Test {
protected:
    ScanTest() { reset(); }

    // A fresh installation (the old one is removed).
    void reset(bool withLogFolder = true) {
        env.reset();
        install.reset();
        dir = std::make_unique<TempDir>();
        install = std::make_unique<DormixInstallation>(dir->path().string(), withLogFolder);
        env = std::make_unique<ScopedEnv>("ACCTKIT_DB", install->tervoxDb());
        boxes = ScriptedMessageBoxes();
    }

    // Scans and shows the report as the dialog does; false when the scan was refused or broken off.
    bool scan(std::int32_t days) {
        const ScanReport report = ScanDormantAccounts(days, install->paths(), boxes, now);
        ShowScanReport(report, boxes);
        return report.ranThrough();
    }

    std::string logon(int daysBack, char separator = '/') const { return LogonDaysBefore(now, daysBack, separator); }

    // The user names of the account folders in the order the scan meets them.
    std::vector<std::string> searchOrder() const;

    // The log's lines (CR LF removed), sorted.
    std::vector<std::string> sortedLogLines() const;

    bool hasFolder(const std::string& userName, HexCase letters = HexCase::Upper) const {
        return Exists(install->folderOf(userName, letters));
    }
    std::vector<std::string> userKeyNames() const;  // users whose "USER.KEY" record is left, sorted
    std::vector<std::string> userTimeNames() const;  // users whose "USERTIME.KEY" record is left, sorted
    std::vector<std::string> tervoxNames(int domainId = 0) const;  // sorted

    void expectSummary(const std::string& text, const std::string& caption) const {
        ASSERT_FALSE(boxes.shown.empty());
        EXPECT_EQ(boxes.shown.back().text, text);
        EXPECT_EQ(boxes.shown.back().caption, caption);
        EXPECT_EQ(boxes.shown.back().buttons, platform::Buttons::Ok);
    }
    void expectNothingDeleted() const { expectSummary("There were no dormant accounts found", "Nothing Deleted"); }
    void expectQuestionAt(std::size_t index) const;

    std::time_t now = LocalTime(2024, 3, 15, 23);
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<DormixInstallation> install;
    std::unique_ptr<ScopedEnv> env;
    ScriptedMessageBoxes boxes;
};
