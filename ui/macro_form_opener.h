#pragma once

#include "ui/macro_form.h"

namespace orvanta::ui {

// Opens the recorder modally over the task editor, working on the editor's macro field and check box.
void OpenMacroRecorder(MacroFormPorts ports, QWidget* editor);

// The program's file dialog for the recorder; the filter is in the "description|pattern" form.
bool RunMacroFileDialog(FileDialogKind kind, QWidget* parent, const QString& filter, QString& fileName);

// The application's windows to the task bar and back, as the recorder does around recording and playback.
void MinimizeApplication();
void RestoreApplication();

// Milliseconds of the steady clock, wrapping at 32 bits like a tick count.
std::uint32_t SteadyTickCount();

} // namespace orvanta::ui
