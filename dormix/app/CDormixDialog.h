#pragma once
// The threshold dialog: the administrator enters or picks a number of days, and OK runs the
// scan of dormant accounts with it.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include <QDialog>

#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "platform/MessageBox.h"

class CDeletedAccountsWindow;
class QComboBox;
class QMenu;

class CDormixDialog : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<std::time_t()>;

    // scanBoxes: the scan's own boxes, which have no owner. dialogBoxes: the boxes of the
    // dialog's refusals; null gives message boxes owned by the dialog. clock: the scan's
    // "now"; empty gives the system clock.
    CDormixDialog(DormixPaths paths, platform::MessageBoxes& scanBoxes,
                  platform::MessageBoxes* dialogBoxes = nullptr, Clock clock = {}, QWidget* parent = nullptr);
    ~CDormixDialog() override;

    // The combo box's text as the dialog last took it over.
    const QString& daysText() const { return daysText_; }

    // The stand-in for the system menu, opened from the dialog's context menu.
    QMenu* systemMenu() const { return systemMenu_; }

    // Runs the scan with the accepted threshold and shows its report in the scan's boxes; after
    // a stop one more box says how many dormant accounts were left for the next run. True unless
    // the scan was refused or broken off.
    bool ScanDormantAccounts(std::int32_t days, const ScanScope& scope = {});

public slots:
    void OnOK();
    void OnPreview();
    void OnDeletedAccounts();
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createControls();
    void createSystemMenu();
    void OnInitDialog();
    void DoDataExchange();
    void refuse(const char* text);
    std::int32_t acceptedDays();
    void scanAndClose(std::int32_t days, const ScanScope& scope);
    void showAbout();

    DormixPaths paths_;
    platform::MessageBoxes& scanBoxes_;
    std::unique_ptr<platform::MessageBoxes> ownedBoxes_;
    platform::MessageBoxes* dialogBoxes_;
    Clock clock_;
    QString daysText_;
    QComboBox* daysCombo_ = nullptr;
    QMenu* systemMenu_ = nullptr;
    bool initialised_ = false;
    bool scanning_ = false;
    bool oldLogLeft_ = false;
    std::unique_ptr<CDeletedAccountsWindow> deletedWindow_;  // made when first opened  // the log of the run before could not go when the dialog opened
};
