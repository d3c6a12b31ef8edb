#pragma once

#include <QLoggingCategory>
#include <QString>
#include <exception>

class QWidget;

namespace orvanta::ui {

// The window layer's log: warnings go to stderr, which the journal keeps for a desktop session.
Q_DECLARE_LOGGING_CATEGORY(lcUi)

// Where the messages of failed commands go: the standard error box in the program, a record in tests.
class ErrorBox {
  public:
    virtual ~ErrorBox() = default;
    virtual void ShowError(const QString& message) = 0;
};

// Modal message boxes over the given window, captioned with its title.
class MessageBoxErrorBox : public ErrorBox {
  public:
    explicit MessageBoxErrorBox(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void ShowError(const QString& message) override;

  private:
    QWidget* owner_;
};

// Writes the failure to the log, where the journal keeps it, and shows it in the box. Never throws.
void ReportError(ErrorBox& box, const QString& message) noexcept;

// The one guard of every command and timer handler, wrapped around the handler's whole body (signals are
// connected to the handler itself): an error ends the handler, is logged and shown, and the program keeps
// running. Nothing thrown ever leaves a Qt slot or event handler.
template <typename Handler> void RunGuarded(ErrorBox& box, Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(box, QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(box, QStringLiteral("Unknown error"));
    }
}

} // namespace orvanta::ui
