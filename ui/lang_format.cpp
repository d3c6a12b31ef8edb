#include "ui/lang_format.h"

namespace orvanta::ui {
namespace {

struct Conversion {
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1; // none given
    QChar type;
};

// Reads decimal digits at pos; -1 when there are none.
int ReadNumber(const QString& text, qsizetype& pos) {
    int number = -1;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128) {
        number = (number < 0 ? 0 : number * 10) + (text[pos].unicode() - '0');
        if (number > 100000) return -1; // no sensible width; treat as malformed
        ++pos;
    }
    return number;
}

QString Pad(QString body, const Conversion& c, bool numeric) {
    if (body.size() >= c.width) return body;
    const qsizetype missing = c.width - body.size();
    if (c.leftAlign) return body + QString(missing, QLatin1Char(' '));
    if (c.zeroPad && numeric) {
        const qsizetype signLength =
            (body.startsWith(QLatin1Char('-')) || body.startsWith(QLatin1Char('+'))) ? 1 : 0;
        return body.insert(signLength, QString(missing, QLatin1Char('0')));
    }
    return QString(missing, QLatin1Char(' ')) + body;
}

std::optional<QString> Convert(const Conversion& c, const QString& arg) {
    const char type = static_cast<char>(c.type.unicode() < 128 ? c.type.unicode() : 0);
    bool ok = false;
    switch (type) {
    case 's':
        return Pad(c.precision >= 0 ? arg.left(c.precision) : arg, c, false);
    case 'c':
        return Pad(arg.left(1), c, false);
    case 'd':
    case 'i':
    case 'u': {
        const qlonglong value = arg.trimmed().toLongLong(&ok);
        if (!ok || (type == 'u' && value < 0)) return std::nullopt;
        QString digits = QString::number(value < 0 ? -value : value);
        if (c.precision > digits.size())
            digits.prepend(QString(c.precision - digits.size(), QLatin1Char('0')));
        return Pad(value < 0 ? QLatin1Char('-') + digits : digits, c, true);
    }
    case 'x':
    case 'X': {
        const QString text = arg.trimmed();
        const bool prefixed = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        const qulonglong value = prefixed ? text.mid(2).toULongLong(&ok, 16) : text.toULongLong(&ok, 10);
        if (!ok) return std::nullopt;
        QString digits = QString::number(value, 16);
        if (type == 'X') digits = digits.toUpper();
        if (c.precision > digits.size())
            digits.prepend(QString(c.precision - digits.size(), QLatin1Char('0')));
        return Pad(digits, c, true);
    }
    case 'f':
    case 'e':
    case 'E':
    case 'g':
    case 'G': {
        const double value = arg.trimmed().toDouble(&ok);
        if (!ok) return std::nullopt;
        return Pad(QString::number(value, type, c.precision >= 0 ? c.precision : 6), c, true);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QString> FormatText(const QString& format, const QStringList& args) {
    QString out;
    out.reserve(format.size());
    qsizetype nextArg = 0;
    for (qsizetype pos = 0; pos < format.size(); ++pos) {
        if (format[pos] != QLatin1Char('%')) {
            out += format[pos];
            continue;
        }
        if (++pos >= format.size()) return std::nullopt;
        if (format[pos] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            continue;
        }
        // An index is a number followed by ':'; otherwise the number was the width.
        Conversion c;
        const qsizetype numberStart = pos;
        const int leading = ReadNumber(format, pos);
        if (leading >= 0 && pos < format.size() && format[pos] == QLatin1Char(':')) {
            nextArg = leading;
            ++pos;
        } else {
            pos = numberStart;
        }
        for (; pos < format.size(); ++pos) {
            if (format[pos] == QLatin1Char('-'))
                c.leftAlign = true;
            else if (format[pos] == QLatin1Char('0'))
                c.zeroPad = true;
            else
                break;
        }
        c.width = std::max(ReadNumber(format, pos), 0);
        if (pos < format.size() && format[pos] == QLatin1Char('.')) {
            ++pos;
            c.precision = std::max(ReadNumber(format, pos), 0);
        }
        if (pos >= format.size() || nextArg >= args.size()) return std::nullopt;
        c.type = format[pos];
        std::optional<QString> converted = Convert(c, args[nextArg++]);
        if (!converted) return std::nullopt;
        out += *converted;
    }
    return out;
}

} // namespace orvanta::ui
