#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QDialogButtonBox;

namespace orvanta::ui {

// The main window's one shared question box (suiMessageDialog1): the caller gives caption, text and
// button captions each time; the answer is the 1-based number of the button pressed, 0 when the box
// was closed otherwise. Only 1 counts as yes.
class MessageDialog : public QDialog {
    Q_OBJECT

  public:
    explicit MessageDialog(QWidget* parent);

    int Ask(const QString& caption, const QString& text, const QStringList& buttonCaptions);

    // For tests answering the open box.
    QString text() const;
    QStringList buttonCaptions() const;
    void PressButton(int number);

  private:
    void FitToText();

    QLabel* icon_;
    QLabel* text_;
    QString shownText_;
    QDialogButtonBox* buttons_;
};

// Line breaks as written in the messages (CR LF, or a lone CR) become the line feeds a label breaks at.
QString DisplayLineBreaks(QString text);

// A word longer than a line (a path, a pasted title) gets break opportunities, so a wrapped label can
// keep to the width it is given instead of growing past the screen.
QString WithBreaksInLongWords(const QString& text, int longestRun);

} // namespace orvanta::ui
