#include "marqueta/ui/CBannerEditorDlg.h"

#include <algorithm>

#include <QDateEdit>
#include <QDateTime>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/catalogue/ScheduleState.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"
#include "marqueta/ui/BannerPreview.h"
#include "marqueta/ui/FileDialogHook.h"
#include "marqueta/ui/LocalText.h"
#include "marqueta/ui/TypedDateEdit.h"
#include "platform/Paths.h"

namespace {

// A place in the dialog template, in dialog units.
struct DluRect {
    int x, y, width, height;
};

constexpr DluRect kDialogSize{0, 0, 364, 228};
// Labels stand right-aligned in the column left of the fields, which begin at x = 111.
constexpr int kLabelX = 4;
constexpr int kLabelWidth = 103;
constexpr int kFieldX = 111;
constexpr int kFieldWidth = 157;
constexpr int kRowHeight = 14;
constexpr int kPreviewMargin = 8;  // pixels around the preview strip

// Dialog units of the dialog's font: a quarter of the average character width across, an
// eighth of the character height down.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        const int alphabet =
            metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        baseX_ = (alphabet / 26 + 1) / 2;
        baseY_ = metrics.height();
    }
    QRect toPixels(const DluRect& r) const {
        return {scale(r.x, baseX_, 4), scale(r.y, baseY_, 8), scale(r.width, baseX_, 4), scale(r.height, baseY_, 8)};
    }

private:
    static int scale(int value, int base, int divisor) { return (value * base + divisor / 2) / divisor; }
    int baseX_ = 0;
    int baseY_ = 0;
};

// The template's "Arial Narrow" 10 point; where it is missing, a narrow face of the same build
// keeps the fields wide enough for their labels before Qt's own fallback takes over.
QFont DialogFont() {
    QFont font(QStringLiteral("Arial Narrow"), 10);
    font.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("DejaVu Sans Condensed")});
    return font;
}

struct SubmitCheck {
    std::string BannerRecord::*field;
    bool emptiness;  // false: fails on a comma; true: fails when empty
    const char* message;
};

// In the order the messages appear. The banner name comes first: a comma there would split its
// catalogue line just as one in any other field.
constexpr SubmitCheck kSubmitChecks[] = {
    {&BannerRecord::image, false, "Commas not allowed in Banner field.\n"},
    {&BannerRecord::company, false, "Commas not allowed in Company field.\n"},
    {&BannerRecord::product, false, "Commas not allowed in Product field.\n"},
    {&BannerRecord::url, false, "Commas not allowed in URL Link field.\n"},
    {&BannerRecord::sequence, false, "Commas not allowed in Group Sequence field.\n"},
    {&BannerRecord::rate, false, "Commas not allowed in Rate field.\n"},
    {&BannerRecord::company, true, "Please enter a value in the Company field.\n"},
    {&BannerRecord::product, true, "Please enter a value in the product field.\n"},
    {&BannerRecord::url, true, "Please enter a value in the URL Link field.\n"},
};

bool Fails(const SubmitCheck& check, const std::string& value) {
    return check.emptiness ? value.empty() : value.find(',') != std::string::npos;
}

qsizetype FirstLineBreak(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == QLatin1Char('\n') || text.at(i) == QLatin1Char('\r')) return i;
    return -1;
}

// Like a single-line edit control, a field keeps only the first line of text pasted or dropped
// into it: a line break would split the banner's catalogue line and its page.
void KeepFirstLine(QLineEdit* edit) {
    const QString text = edit->text();
    const qsizetype lineBreak = FirstLineBreak(text);
    if (lineBreak < 0) return;
    // The cursor stands after the inserted text: what follows it was there before.
    const qsizetype insertedEnd = edit->cursorPosition();
    QString kept = lineBreak < insertedEnd ? text.left(lineBreak) + text.mid(insertedEnd) : text.left(lineBreak);
    if (const qsizetype another = FirstLineBreak(kept); another >= 0) kept.truncate(another);
    edit->setText(kept);
    edit->setCursorPosition(std::min(lineBreak, kept.size()));
}

}  // namespace

std::string SubmitCheckErrors(const BannerRecord& values, bool checkDates) {
    std::string errors;
    for (const SubmitCheck& check : kSubmitChecks) {
        if (Fails(check, values.*check.field)) errors += check.message;
    }
    // A banner whose period ends before it begins would never be shown.
    if (checkDates && EndsBeforeBegin(values.beginDate, values.endDate))
        errors += "The End Display Date is before the Begin Display Date.\n";
    return errors;
}

QDate PickerDateOf(const std::string& dateText, std::time_t now) {
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(ParseDateText(dateText, now))).date();
}

std::string DateTextOf(const QDate& date) {
    std::tm parts{};
    parts.tm_year = date.year() - 1900;
    parts.tm_mon = date.month() - 1;
    parts.tm_mday = date.day();
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%m/%d/%Y", &parts);
    return std::string(text, length);
}

QDate EarliestPickerDate() { return {1970, 1, 1}; }
QDate LatestPickerDate() { return {2038, 12, 31}; }

CBannerEditorDlg::CBannerEditorDlg(MarquetaPaths& paths, platform::MessageBoxes& boxes, QWidget* parent)
    // A caption and a modal frame, but no system menu and so no close box.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      paths_(paths),
      boxes_(boxes),
      clock_([] { return std::time(nullptr); }) {
    setWindowTitle(QStringLiteral("Banner Editor"));
    setFont(DialogFont());
    createControls();
    // The preview takes a strip below the template's controls, widening the dialog if need be.
    const QSize templateSize = DialogUnits(font()).toPixels(kDialogSize).size();
    preview_ = new BannerPreview(this);
    preview_->move(kPreviewMargin, templateSize.height());
    setFixedSize(std::max(templateSize.width(), preview_->width() + 2 * kPreviewMargin),
                 templateSize.height() + preview_->height() + kPreviewMargin);
}

void CBannerEditorDlg::createControls() {
    const DialogUnits units(font());
    auto place = [&](QWidget* widget, const char* name, const DluRect& rect) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(units.toPixels(rect));
    };
    auto field = [&](const char* name, int y) {
        auto* edit = new QLineEdit(this);
        place(edit, name, {kFieldX, y, kFieldWidth, kRowHeight});
        connect(edit, &QLineEdit::textEdited, this, [edit] { KeepFirstLine(edit); });
        return edit;
    };
    auto picker = [&](const char* name, int y) {
        auto* edit = new TypedDateEdit(this);
        place(edit, name, {kFieldX, y, kFieldWidth, kRowHeight});
        edit->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        edit->setCalendarPopup(true);
        edit->setDateRange(EarliestPickerDate(), LatestPickerDate());
        // Tab passes the pickers by; a click still reaches them.
        edit->setFocusPolicy(Qt::ClickFocus);
        connect(edit, &TypedDateEdit::dateRefused, this, [this, edit](const QString& typed) {
            boxes_.ok("The typed date " + typed.toStdString() + " was refused: it is not a day of the calendar between " +
                      DateTextOf(EarliestPickerDate()) + " and " + DateTextOf(LatestPickerDate()) +
                      ". The date stays " + DateTextOf(edit->date()) + ".");
        });
        return edit;
    };
    auto button = [&](const char* text, const char* name, const DluRect& rect) {
        auto* push = new QPushButton(QString::fromLatin1(text), this);
        place(push, name, rect);
        return push;
    };

    // Created in the template's order, which is the tab order.
    browseButton_ = button("Browse...", "browsePushButton", {274, 27, 37, 14});
    imageEdit_ = field("imageLineEdit", 27);
    companyEdit_ = field("companyLineEdit", 46);
    productEdit_ = field("productLineEdit", 65);
    sequenceEdit_ = field("sequenceLineEdit", 84);
    urlEdit_ = field("urlLineEdit", 103);
    beginPicker_ = picker("beginDateEdit", 122);
    endPicker_ = picker("endDateEdit", 141);
    rateEdit_ = field("rateLineEdit", 160);
    submitButton_ = button("Submit", "submitPushButton", {307, 189, 50, 14});
    cancelButton_ = button("Cancel", "cancelPushButton", {307, 207, 50, 14});
    uidEdit_ = field("uidLineEdit", 179);
    uidEdit_->setReadOnly(true);
    submitButton_->setDefault(true);

    const std::pair<const char*, QWidget*> labels[] = {
        {"Banner Image", imageEdit_},        {"Company Name", companyEdit_}, {"Product Name", productEdit_},
        {"Group Sequence Number", sequenceEdit_}, {"URL Link", urlEdit_},  {"Begin Display Date", beginPicker_},
        {"End Display Date", endPicker_},    {"Billing Rate", rateEdit_},    {"Unique ID", uidEdit_},
    };
    for (const auto& [text, buddy] : labels) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(units.toPixels({kLabelX, 0, kLabelWidth, kRowHeight}).translated(0, buddy->y()));
        label->setBuddy(buddy);
        buddy->setAccessibleName(label->text());
    }

    picture_ = new QLabel(this);
    place(picture_, "pictureLabel", {1, 0, 69, 14});
    const QPixmap pixmap(QStringLiteral(":/marqueta/about.png"));
    if (!pixmap.isNull())
        picture_->setPixmap(pixmap.scaled(picture_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    QWidget* tabOrder[] = {browseButton_, imageEdit_, companyEdit_, productEdit_, sequenceEdit_,
                           urlEdit_,      rateEdit_,  submitButton_, cancelButton_, uidEdit_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(browseButton_, &QPushButton::clicked, this, &CBannerEditorDlg::onBrowse);
    connect(submitButton_, &QPushButton::clicked, this, &CBannerEditorDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CBannerEditorDlg::reject);
}

void CBannerEditorDlg::setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

int CBannerEditorDlg::exec() {
    exchangeToControls();
    fillPickers();
    showPreview();
    browseButton_->setFocus();
    return QDialog::exec();
}

void CBannerEditorDlg::showPreview() {
    const BannerRecord& r = record_;
    preview_->showFile(chosenImagePath_.empty() ? BannerPicturePath(paths_, r.uid, r.ext) : chosenImagePath_);
}

void CBannerEditorDlg::exchangeToControls() {
    // Each field shows the start of its text, as an edit that was just filled does.
    auto show = [](QLineEdit* edit, const std::string& text) {
        edit->setText(ToQt(text));
        edit->setCursorPosition(0);
    };
    const BannerRecord& r = record_;
    show(imageEdit_, r.image);
    show(companyEdit_, r.company);
    show(productEdit_, r.product);
    show(rateEdit_, r.rate);
    show(sequenceEdit_, r.sequence);
    show(uidEdit_, r.uid);
    show(urlEdit_, r.url);
}

// A field the operator left as it was keeps its bytes; a changed one keeps its encoding.
void CBannerEditorDlg::exchangeFromControls() {
    BannerRecord& r = record_;
    r.image = FromQt(imageEdit_->text(), r.image);
    r.company = FromQt(companyEdit_->text(), r.company);
    r.product = FromQt(productEdit_->text(), r.product);
    r.rate = FromQt(rateEdit_->text(), r.rate);
    r.sequence = FromQt(sequenceEdit_->text(), r.sequence);
    r.uid = FromQt(uidEdit_->text(), r.uid);
    r.url = FromQt(urlEdit_->text(), r.url);
}

void CBannerEditorDlg::fillPickers() {
    const std::time_t now = clock_();
    beginPicker_->setDate(PickerDateOf(record_.beginDate, now));
    endPicker_->setDate(PickerDateOf(record_.endDate, now));
    filledBegin_ = beginPicker_->date();
    filledEnd_ = endPicker_->date();
}

void CBannerEditorDlg::accept() {
    exchangeFromControls();
    record_.beginDate = DateTextOf(beginPicker_->date());
    record_.endDate = DateTextOf(endPicker_->date());
    const bool datesEntered = beginPicker_->date() != filledBegin_ || endPicker_->date() != filledEnd_;
    const std::string errors = SubmitCheckErrors(record_, datesEntered);
    if (errors.empty()) {
        QDialog::accept();
        return;
    }
    // The values stay as entered, so the operator can mend them.
    boxes_.show(errors, "Program Exiting...", platform::Buttons::Ok);
}

void CBannerEditorDlg::onBrowse() {
    const std::optional<std::string> chosen = ChooseImageFile(this, paths_.lastBrowseDir);
    if (!chosen || chosen->empty()) return;
    const std::string chosenExt = platform::ExtensionOf(*chosen);
    // The extension goes into the catalogue line unedited, where a comma would split it.
    if (chosenExt.find(',') != std::string::npos) {
        boxes_.ok("Commas not allowed in the image file's extension.");
        return;
    }
    // The name and the extension may both reach the catalogue line, which a line break would end.
    if (platform::FileNameOf(*chosen).find_first_of("\r\n") != std::string::npos) {
        boxes_.ok("Line breaks not allowed in the image file's name.");
        return;
    }
    chosenImagePath_ = *chosen;
    paths_.lastBrowseDir = platform::DirectoryOf(chosenImagePath_);
    record_.ext = chosenExt;
    showPreview();
    // The record holds the last exchanged value, so a name typed since the dialog opened is replaced.
    if (record_.image.empty()) {
        record_.image = platform::FileNameOf(chosenImagePath_);
        imageEdit_->setText(ToQt(record_.image));
    }
}
