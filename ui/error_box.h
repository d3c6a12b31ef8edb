#pragma once

#include <QString>
#include <exception>

class QWidget;

namespace orvanta::ui {

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

// The one guard every command and timer handler runs in: an error ends the handler, is shown, and the
// program keeps running. Nothing thrown ever leaves a Qt slot or event handler.
template <typename Handler> void RunGuarded(ErrorBox& box, Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& e) {
        try {
            box.ShowError(QString::fromUtf8(e.what()));
        } catch (...) {
        }
    } catch (...) {
        try {
            box.ShowError(QStringLiteral("Unknown error"));
        } catch (...) {
        }
    }
}

} // namespace orvanta::ui
