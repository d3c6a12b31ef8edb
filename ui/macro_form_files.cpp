// The recorder's files: save with the overwrite question, load, and the remembered dialog names.
#include "macros/macro_text.h"
#include "ui/error_box.h"
#include "ui/macro_form.h"
#include "ui/message_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <stdexcept>

namespace orvanta::ui {

namespace {

const QString kMacroFilter = QStringLiteral("*.mco|*.mco");

std::filesystem::path PathOf(const QString& name) {
    return std::filesystem::path(name.toStdString());
}

} // namespace

bool TMacroForm::PickFileRemembered(MacroFileDialog& dialog, const char* key) {
    if (dialog.FileName.isEmpty())
        dialog.FileName = QString::fromStdString(ports_.settings.readText("Last", key, ""));
    QString chosen = dialog.FileName;
    if (!ports_.runFileDialog || !ports_.runFileDialog(dialog.kind, this, dialog.Filter, chosen))
        return false;
    dialog.FileName = chosen;
    ports_.settings.writeText("Last", key, chosen.toStdString());
    return true;
}

void TMacroForm::suitempBTNSaveClick() {
    SaveDialog.Filter = kMacroFilter;
    if (!PickFileRemembered(SaveDialog, "1")) {
        BTNPlay->hide();
        return;
    }
    const QString name =
        QString::fromStdString(macros::WithMacroExtension(SaveDialog.FileName.toStdString()));
    std::error_code ec;
    if (std::filesystem::exists(PathOf(name), ec)) {
        const int answer = suiMessageDialog1->Ask(
            ports_.mainCaption,
            GetLangText("McoExist", QStringLiteral("The macro file exists! Do you want to rewrite it?")),
            {GetLangText("Button1Caption", QStringLiteral("OK")),
             GetLangText("Button2Caption", QStringLiteral("Cancel"))});
        if (answer != 1) {
            BTNPlay->hide();
            return;
        }
    }
    Edit1->setText(name);
    if (!macros::WriteMacroFile(name.toStdString(), memo_.lines()))
        throw std::runtime_error(FormatLangText("McoWriteFailed",
                                                QStringLiteral("The macro file %s could not be written."),
                                                {name})
                                     .toStdString());
}

void TMacroForm::suitempBTNLoadClick() {
    RunGuarded(ports_.errors, [this] {
        OpenDialog.Filter = kMacroFilter;
        if (!PickFileRemembered(OpenDialog, "1")) return;
        Edit1->setText(OpenDialog.FileName);
        LoadIntoMemo(OpenDialog.FileName);
        BTNPlay->show();
    });
}

void TMacroForm::LoadIntoMemo(const QString& fileName) {
    auto lines = macros::ReadMacroFile(fileName.toStdString());
    if (!lines)
        throw std::runtime_error(FormatLangText("McoReadFailed",
                                                QStringLiteral("The macro file %s could not be read."),
                                                {fileName})
                                     .toStdString());
    memo_.setLines(std::move(*lines));
}

} // namespace orvanta::ui
