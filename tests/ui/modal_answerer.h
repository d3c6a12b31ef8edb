#pragma once

#include "ui/lock_form.h"
#include "ui/message_dialog.h"
#include "ui/set_pw_form.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace orvanta::test {

// Works the modal windows a handler opens, one scripted step per window, in order: the password prompt,
// its wrong-password notice, the main window's question box and the set-password dialog. A window no
// step expects is closed and counted, so a test that meets an unexpected window fails instead of hanging.
// Of several answerers alive, the one made last does the answering.
class ModalAnswerer {
  public:
    ModalAnswerer() {
        Alive().push_back(this);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    ~ModalAnswerer() { Alive().erase(std::find(Alive().begin(), Alive().end(), this)); }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // The prompt: type the text and confirm with OK, or with Enter in the field.
    ModalAnswerer& Password(const QString& text, bool enter = false) {
        return Step<ui::TLockForm>([=, this](ui::TLockForm* prompt) {
            ++prompts;
            prompt->Edit1->setText(text);
            if (enter)
                QTest::keyClick(prompt->Edit1, Qt::Key_Return);
            else
                prompt->Button2->click();
        });
    }
    ModalAnswerer& CancelPrompt() {
        return Step<ui::TLockForm>([this](ui::TLockForm* prompt) {
            ++prompts;
            prompt->Button1->click();
        });
    }
    // The title bar's close button.
    ModalAnswerer& ClosePrompt() {
        return Step<ui::TLockForm>([this](ui::TLockForm* prompt) {
            ++prompts;
            prompt->close();
        });
    }
    // The standard notice box.
    ModalAnswerer& AcknowledgeNotice() {
        return Step<QMessageBox>([this](QMessageBox* box) {
            notices << box->text();
            noticeCaptions << box->windowTitle();
            box->button(QMessageBox::Ok)->click();
        });
    }
    // The main window's question box: press the given button (1-based).
    ModalAnswerer& Answer(int button) {
        return Step<ui::MessageDialog>([=, this](ui::MessageDialog* box) {
            questions << box->text();
            buttonCaptions << box->buttonCaptions();
            box->PressButton(button);
        });
    }
    // The set-password dialog: fill the fields and press OK.
    ModalAnswerer& SetPassword(const QString& old, const QString& fresh, const QString& again) {
        return Step<ui::TSetPWForm>([=, this](ui::TSetPWForm* dialog) {
            ++setPasswordDialogs;
            oldRowShown = dialog->Edit1->isVisibleTo(dialog);
            dialog->Edit1->setText(old);
            dialog->Edit2->setText(fresh);
            dialog->Edit3->setText(again);
            dialog->Button1->click();
        });
    }

    bool done() const { return steps_.empty() && !busy_; }

    int prompts = 0;
    int setPasswordDialogs = 0;
    bool oldRowShown = false;
    int unexpected = 0;
    QStringList notices, noticeCaptions, questions;
    QList<QStringList> buttonCaptions;

  private:
    // The work of a step, once it has recognised its window.
    using Action = std::function<void()>;
    using Handler = std::function<Action(QWidget*)>;

    template <typename Window> ModalAnswerer& Step(std::function<void(Window*)> work) {
        steps_.push_back([work](QWidget* w) -> Action {
            QPointer<Window> window = qobject_cast<Window*>(w);
            if (!window) return {};
            return [work, window] {
                if (window) work(window);
            };
        });
        return *this;
    }

    void Poll() {
        if (busy_ || Alive().back() != this) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (!steps_.empty()) {
            if (Action action = steps_.front()(modal)) {
                steps_.pop_front();
                busy_ = true;
                // Worked outside this timer's handler: the window may open the next one, and a timer
                // does not fire again while its own handler runs.
                QTimer::singleShot(0, &timer_, [this, action] {
                    busy_ = false;
                    action();
                });
                return;
            }
        }
        ++unexpected;
        modal->close();
    }

    static std::vector<ModalAnswerer*>& Alive() {
        static std::vector<ModalAnswerer*> alive;
        return alive;
    }

    QTimer timer_;
    std::deque<Handler> steps_;
    bool busy_ = false;
};

// Runs the event loop until the condition holds or the time is up.
template <typename Condition> bool WaitFor(Condition condition, int milliseconds = 2000) {
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace orvanta::test
