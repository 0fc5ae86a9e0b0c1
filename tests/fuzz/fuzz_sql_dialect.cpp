// The dialect translator: any statement text is either refused with a GeneralError or rewritten by every
// step a backend applies, without a crash, a hang or undefined behaviour.
#include "GeneralError.h"
#include "SqlRewriter.h"

#include <QSet>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        SqlRewriter r(text);
        r.requireSingleStatement();
        r.leadingWord();
        r.removeComments();
        r.rewriteDatePart([](const QString& part) {
            return SqlRewriter::DatePartForm{QStringLiteral("CAST(EXTRACT(%1 FROM ").arg(part),
                                             QStringLiteral(") AS INTEGER)")};
        });
        r.rewriteTextConcatenation({QStringLiteral("NOM_EMPL"), QStringLiteral("APE_EMPL")});
        r.resolveCompoundOrderBy();
        r.renameFunction(QLatin1String("ISNULL"), QStringLiteral("COALESCE"));
        r.replaceEmptyCall(QLatin1String("GETDATE"), QStringLiteral("LOCALTIMESTAMP"));
        r.closeDayRanges({QStringLiteral("P_FEC_INIC"), QStringLiteral("P_FEC_FINA")});
        r.replaceParameters(QStringLiteral("?"));
        SqlRewriter(r.text()); // what it writes reads again
    } catch (const GeneralError&) {
    }
    return 0;
}
