#pragma once

#include <QString>

namespace orvanta::ui {

// A later copy's way to the first over the session bus. Every copy of the program takes the bus name or
// waits in line for it, whatever its data folder, so the copy asked is the one in that line whose
// DataFolder is this copy's and whose user is this copy's: never a copy for another folder, even one
// holding the name. With newTask it is asked for NewTask, else for ShowWindow.
//
// True once such a copy was found and asked, whatever it answered: a copy that was asked may act on it
// late, and asking again another way could open a second editor. False when there is no session bus or
// no such copy on it, and the caller may try another way.
bool HandOverOnBus(const QString& busName, const QString& dataFolder, bool newTask, int timeoutMs = 2000);

} // namespace orvanta::ui
