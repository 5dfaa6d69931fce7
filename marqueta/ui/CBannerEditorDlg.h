#pragma once
// The "Banner Editor" dialog: collects and checks one banner's values; changes no file and no row.
#include <ctime>
#include <functional>
#include <string>

#include <QDate>
#include <QDialog>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/MessageBox.h"

class BannerPreview;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// The messages of Submit's checks, one line each in check order; empty when every check passes.
// The order of the dates is checked only with checkDates: a row stored with its end before its
// begin can still be edited in its other fields.
std::string SubmitCheckErrors(const BannerRecord& values, bool checkDates = true);

// A catalogue date text as the pickers show it (local midnight of ParseDateText's day).
QDate PickerDateOf(const std::string& dateText, std::time_t now);
// A picker's date as the catalogue stores it: "%m/%d/%Y".
std::string DateTextOf(const QDate& date);

// The first and last day the pickers offer: the years a catalogue date can be read back in.
QDate EarliestPickerDate();
QDate LatestPickerDate();

// Controls carry object names ending in their class, in tab order: browsePushButton,
// imageLineEdit, companyLineEdit, productLineEdit, sequenceLineEdit, urlLineEdit, rateLineEdit,
// submitPushButton, cancelPushButton, uidLineEdit; the pickers beginDateEdit and endDateEdit take
// no tab stop.
class CBannerEditorDlg : public QDialog {
    Q_OBJECT
public:
    // paths.lastBrowseDir is where Browse opens, and Browse updates it; boxes shows the failed
    // checks of Submit.
    CBannerEditorDlg(MarquetaPaths& paths, platform::MessageBoxes& boxes, QWidget* parent = nullptr);

    // Fills the controls from the members and runs the dialog modally: QDialog::Accepted after
    // Submit passed its checks, QDialog::Rejected after Cancel or Escape.
    int exec() override;

    // The values for the publication step.
    BannerEdit toEdit() const;

    // Where "today" comes from when a date text names no day; the real clock unless a test sets one.
    void setClock(std::function<std::time_t()> clock);

    // Members, 8-bit texts of the system code page, in the order the editor declares them.
    std::string ext;
    std::string loadedUrl;
    std::string sourceImagePath;
    std::string image;
    std::string company;
    std::string product;
    std::string rate;
    std::string sequence;
    std::string uid;
    std::string url;
    std::string beginDate;
    std::string endDate;

public slots:
    // Submit: takes the entered values and closes only when every check passes.
    void accept() override;

private slots:
    void onBrowse();

private:
    void createControls();
    // The picture of the chosen file, else of the banner's own image in the images folder.
    void showPreview();
    void exchangeToControls();
    void exchangeFromControls();
    void fillPickers();

    MarquetaPaths& paths_;
    platform::MessageBoxes& boxes_;
    std::function<std::time_t()> clock_;

    QPushButton* browseButton_ = nullptr;
    QLineEdit* imageEdit_ = nullptr;
    QLineEdit* companyEdit_ = nullptr;
    QLineEdit* productEdit_ = nullptr;
    QLineEdit* sequenceEdit_ = nullptr;
    QLineEdit* urlEdit_ = nullptr;
    QDateEdit* beginPicker_ = nullptr;
    QDateEdit* endPicker_ = nullptr;
    QLineEdit* rateEdit_ = nullptr;
    QPushButton* submitButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLineEdit* uidEdit_ = nullptr;
    QLabel* picture_ = nullptr;
    BannerPreview* preview_ = nullptr;
    // The pickers' dates as filled: Submit tells dates entered in this editor from stored ones.
    QDate filledBegin_;
    QDate filledEnd_;
};
