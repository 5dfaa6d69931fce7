#include "platform/qt/QtMessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace platform {

namespace {

QMessageBox::StandardButtons ButtonsFor(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::ReloadOverwriteCancel: return QMessageBox::Cancel;  // the other two are named buttons
    case Buttons::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconFor(Severity severity) {
    switch (severity) {
    case Severity::Information: return QMessageBox::Information;
    case Severity::Question: return QMessageBox::Question;
    case Severity::Warning: return QMessageBox::Warning;
    case Severity::Error: return QMessageBox::Critical;
    case Severity::None: break;
    }
    return QMessageBox::NoIcon;
}

Answer AnswerFor(int result) {
    switch (result) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::Failed;
    }
}

}  // namespace

Answer QtMessageBoxes::show(const std::string& text, const std::string& caption, Buttons buttons, Severity severity) {
    QMessageBox box(owner_);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(QString::fromLocal8Bit(caption.data(), static_cast<qsizetype>(caption.size())));
    box.setText(QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(ButtonsFor(buttons));
    QAbstractButton* reload = nullptr;
    QAbstractButton* overwrite = nullptr;
    if (buttons == Buttons::ReloadOverwriteCancel) {
        reload = box.addButton(QStringLiteral("Reload"), QMessageBox::AcceptRole);
        overwrite = box.addButton(QStringLiteral("Overwrite"), QMessageBox::DestructiveRole);
    }
    box.setIcon(IconFor(severity));
    if (buttons == Buttons::YesNoCancel || buttons == Buttons::ReloadOverwriteCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    if (buttons == Buttons::Ok) box.setEscapeButton(QMessageBox::Ok);
    if (buttons == Buttons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    const int result = box.exec();
    if (reload && box.clickedButton() == reload) return Answer::Reload;
    if (overwrite && box.clickedButton() == overwrite) return Answer::Overwrite;
    return AnswerFor(result);
}

}  // namespace platform
