#include "MaskedLocator.h"

#include <QRegularExpression>

MaskedSpan maskedUserInfo(const QString& locator) {
    const qsizetype schemeEnd = locator.indexOf(QLatin1String("://"));
    if (schemeEnd < 0)
        return {};
    const qsizetype start = schemeEnd + 3;
    const qsizetype at = locator.lastIndexOf(QLatin1Char('@'));
    const qsizetype colon = locator.indexOf(QLatin1Char(':'), start);
    if (at > start && colon >= 0 && colon < at)
        return {colon + 1, at};
    return {};
}

QString maskedLocator(const QString& locator) {
    if (!locator.contains(QLatin1String("://")))
        return locator;
    QString text = locator;
    // An empty password is masked too: whoever reads the message cannot tell it was empty.
    if (const MaskedSpan span = maskedUserInfo(locator); span.end > 0)
        text.replace(span.begin, span.end - span.begin, QStringLiteral("***"));
    // Key-value parameters: ?password=..., &sslpassword=..., or a key-value string after the URL. An
    // unencoded '&' in the value is taken as part of it unless a key= follows, which cannot be told from
    // the next parameter. A key written with escapes may spell password: its value is masked too.
    static const QRegularExpression parameter(
        QStringLiteral("(\\b(?:ssl)?password\\s*=\\s*)((?:[^&;\\s]|&(?![A-Za-z_]+=))*)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression escapedKey(QStringLiteral("([?&][^=&?]*%[^=&?]*=)([^&]*)"));
    text.replace(parameter, QStringLiteral("\\1***"));
    text.replace(escapedKey, QStringLiteral("\\1***"));
    return text;
}
