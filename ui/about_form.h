#pragma once

#include "ui/lang_form.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace orvanta::ui {

// What the about box and the Help menu point to; set when the program is built. An empty address hides
// its row in the about box and greys the menu item that would open it.
struct AboutInfo {
    QString supportAddress; // an e-mail address
    QString website;        // a web address
};

// The addresses this build was configured with.
AboutInfo BuiltInAboutInfo();

// The about box: product name, version, and the support and web-site addresses where they are set.
class TAboutForm : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    TAboutForm(i18n::TLangMgr& languages, const AboutInfo& info, QWidget* parent = nullptr);

    QLabel *ProductLabel = nullptr, *VersionLabel = nullptr, *SupportLabel = nullptr,
           *SupportAddress = nullptr, *WebsiteLabel = nullptr, *WebsiteAddress = nullptr;
    QPushButton* OkButton = nullptr;
};

} // namespace orvanta::ui
