// The layouts' expression language: any text is parsed or refused with a GeneralError, and what parses is
// evaluated against fields, variables and system values without a crash or undefined behaviour.
#include "Expression.h"
#include "GeneralError.h"

#include <QDateTime>
#include <cstdint>

namespace {
class Context : public report::ExpressionContext {
public:
    QVariant fieldValue(const QString&, const QString& field) override {
        switch (field.size() % 4) {
        case 0: return 1234.5;
        case 1: return QStringLiteral("Nómina");
        case 2: return QDateTime(QDate(2026, 12, 31), QTime(0, 0));
        default: return QVariant();
        }
    }
    QVariant variable(const QString& name) override { return name.size() % 2 ? QVariant(7) : QVariant(); }
    QVariant systemValue(const QString&) override { return 1; }
    QVariant aggregate(const report::ExprNode&) override { return 2.5; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    Context context;
    try {
        report::Expression::parse(text).evaluate(context);
    } catch (const GeneralError&) {
    }
    try {
        report::splitBracketed(text);
    } catch (const GeneralError&) {
    }
    return 0;
}
