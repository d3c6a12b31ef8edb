#include "ui/about_form.h"

#include "ui/app_icon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#ifndef ORVANTA_SUPPORT_ADDRESS
#define ORVANTA_SUPPORT_ADDRESS ""
#endif
#ifndef ORVANTA_WEBSITE
#define ORVANTA_WEBSITE ""
#endif

namespace orvanta::ui {

AboutInfo BuiltInAboutInfo() {
    return {QStringLiteral(ORVANTA_SUPPORT_ADDRESS), QStringLiteral(ORVANTA_WEBSITE)};
}

namespace {

QLabel* Link(QWidget* parent, const char* name, const QString& target, const QString& shown) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    // Escaped: the address is shown as it was configured, never read as markup.
    label->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), shown.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    return label;
}

} // namespace

TAboutForm::TAboutForm(i18n::TLangMgr& languages, const AboutInfo& info, QWidget* parent)
    : QDialog(parent), TLangForm(this, "TAboutForm", languages) {
    setObjectName("AboutForm");
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(AppIcon());
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(48, 48));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    ProductLabel = new QLabel(QStringLiteral("Orvanta"), this);
    ProductLabel->setObjectName("ProductLabel");
    QFont big = ProductLabel->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    ProductLabel->setFont(big);
    grid->addWidget(ProductLabel, 0, 1, 1, 2);
    VersionLabel = new QLabel(QStringLiteral("Version:3.00"), this);
    VersionLabel->setObjectName("VersionLabel");
    grid->addWidget(VersionLabel, 1, 1, 1, 2);

    SupportLabel = new QLabel(QStringLiteral("Support:"), this);
    SupportLabel->setObjectName("SupportLabel");
    SupportAddress =
        Link(this, "SupportAddress", QStringLiteral("mailto:") + info.supportAddress, info.supportAddress);
    grid->addWidget(SupportLabel, 2, 1);
    grid->addWidget(SupportAddress, 2, 2);
    WebsiteLabel = new QLabel(QStringLiteral("Web site:"), this);
    WebsiteLabel->setObjectName("WebsiteLabel");
    WebsiteAddress = Link(this, "WebsiteAddress", info.website, info.website);
    grid->addWidget(WebsiteLabel, 3, 1);
    grid->addWidget(WebsiteAddress, 3, 2);
    for (QWidget* w : {SupportLabel, SupportAddress})
        w->setVisible(!info.supportAddress.isEmpty());
    for (QWidget* w : {WebsiteLabel, WebsiteAddress})
        w->setVisible(!info.website.isEmpty());

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName("OkButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    grid->addLayout(buttons, 4, 0, 1, 3);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    ReloadLanguage();
    setFixedSize(sizeHint());
}

} // namespace orvanta::ui
