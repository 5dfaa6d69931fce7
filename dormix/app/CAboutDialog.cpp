#include "dormix/app/CAboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "dormix/app/DialogUnits.h"
#include "dormix/app/DormixIcon.h"
#include "dormix/scan/ProgramVersion.h"
#include "platform/qt/HelpAndVersion.h"

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Dormix"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits units(font());
    setFixedSize(units.toPixels(235, 55));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    const QRect iconPlace = units.toPixels(11, 17, 0, 0);
    icon->setGeometry(iconPlace.x(), iconPlace.y(), 32, 32);
    icon->setPixmap(DormixIcon().pixmap(32, 32));

    auto* version = new QLabel(QString::fromLatin1(kDormixVersionLine), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setGeometry(units.toPixels(40, 10, 119, 8));
    // The package's full version in the free line under the program's own.
    auto* package = new QLabel(platform::PackageVersionText(), this);
    package->setObjectName(QStringLiteral("packageVersionLabel"));
    package->setGeometry(units.toPixels(40, 26, 119, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(units.toPixels(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
