#pragma once

#include "tests/support/recording_ports.h"
#include "ui/error_box.h"

#include <QStringList>

namespace orvanta::test {

// The task actions and the confirmation window, recorded in one log.
using RecordingActions = RecordingPorts;

class RecordingErrorBox : public ui::ErrorBox {
  public:
    QStringList errors;
    void ShowError(const QString& message) override { errors << message; }
};

} // namespace orvanta::test
