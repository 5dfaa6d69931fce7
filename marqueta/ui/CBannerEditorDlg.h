#pragma once
// The "Banner Editor" dialog: collects and checks one banner's values; changes no file and no row.
#include <string>

#include <QDialog>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/MessageBox.h"

class QDateEdit;
class QLineEdit;
class QPushButton;

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

    // (the implementation adds its private controls and slots below)
private:
    MarquetaPaths& paths_;
    platform::MessageBoxes& boxes_;
};
