#include "marqueta/app/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/HelpAndVersion.h"

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About MARQUETA"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("pictureLabel"));
    picture->setPixmap(QPixmap(QStringLiteral(":/marqueta/about.png")));
    auto* version = new QLabel(QStringLiteral("Marqueta Version 2.0"), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* package = new QLabel(platform::PackageVersionText(), this);
    package->setObjectName(QStringLiteral("packageVersionLabel"));
    auto* texts = new QVBoxLayout;
    texts->addStretch(1);
    texts->addWidget(version);
    texts->addWidget(package);
    texts->addStretch(1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okPushButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    top->addWidget(ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch(1);
    // 217 by 87 dialog units in the system font.
    setFixedSize(326, 141);
}
