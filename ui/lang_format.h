#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace orvanta::ui {

// Fills a format string from a language file with the arguments, printf style, as translators write
// them: "%s", "%d", "%5.2f", "%-10s", "%x", "%%", and an argument index as in "%1:s" (after which the
// following ones continue from there). Numeric conversions parse their argument from the text.
// Nothing when the format does not fit the arguments: an unknown or unfinished conversion, too few
// arguments, or an argument that is not a number where one is needed. Unused arguments are fine.
std::optional<QString> FormatText(const QString& format, const QStringList& args);

} // namespace orvanta::ui
