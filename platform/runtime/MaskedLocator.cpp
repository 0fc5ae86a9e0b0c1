#include "MaskedLocator.h"

#include <QRegularExpression>

QString maskedLocator(const QString& locator) {
    const qsizetype schemeEnd = locator.indexOf(QLatin1String("://"));
    if (schemeEnd < 0)
        return locator;
    const QLatin1String mask("***");
    QString text = locator;
    const qsizetype start = schemeEnd + 3;
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    const qsizetype colon = text.indexOf(QLatin1Char(':'), start);
    if (at > start && colon >= 0 && colon < at)
        text.replace(colon + 1, at - colon - 1, mask);
    // Key-value parameters: ?password=..., &password=..., or a key-value string after the URL.
    static const QRegularExpression parameter(QStringLiteral("(\\bpassword\\s*=\\s*)([^&#;\\s]*)"),
                                              QRegularExpression::CaseInsensitiveOption);
    text.replace(parameter, QStringLiteral("\\1***"));
    return text;
}
