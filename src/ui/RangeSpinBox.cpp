#include "ui/RangeSpinBox.h"

#include <algorithm>

namespace varn {

namespace {

// Whether text is digits alone after an optional sign.
bool SignedDigits(const QString& text) {
    const bool sign = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'));
    return text.size() > (sign ? 1 : 0) && std::all_of(text.begin() + (sign ? 1 : 0), text.end(),
                                                       [](QChar c) { return c.isDigit(); });
}

}  // namespace

QValidator::State RangeSpinBox::validate(QString& input, int&) const {
    const QString text = input.trimmed();
    if (text.isEmpty() || text == QStringLiteral("-") || text == QStringLiteral("+")) {
        return QValidator::Intermediate;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    // Digits too many for a number still only await correction.
    if (!ok) return SignedDigits(text) ? QValidator::Intermediate : QValidator::Invalid;
    return value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                    : QValidator::Intermediate;
}

void RangeSpinBox::fixup(QString& input) const {
    const QString text = input.trimmed();
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        const bool positive_digits = SignedDigits(text) && !text.startsWith(QLatin1Char('-'));
        input = QString::number(positive_digits ? maximum() : minimum());
        return;
    }
    input = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
}

}  // namespace varn
