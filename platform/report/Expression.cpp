// Parser and evaluator of the expression language. A hand-written tokenizer feeds a recursive-descent
// parser that builds an immutable tree; evaluation walks the tree with a context that supplies fields,
// variables, system values and aggregates. "<" is a reference bracket where an operand is expected
// (<Ds."FIELD">, <gDtFecFina>) and the less-than operator elsewhere.
#include "Expression.h"

#include "FormatSettings.h"
#include "GeneralError.h"

#include <QDateTime>
#include <QStringList>
#include <cmath>

namespace report {

enum class NodeKind { Literal, Field, Variable, System, Unary, Binary, Call, Aggregate };

struct ExprNode {
    NodeKind kind = NodeKind::Literal;
    QVariant literal;
    QString name;   // field: dataset; variable/system/call/operator: name
    QString field;  // field name
    std::vector<std::shared_ptr<ExprNode>> args;
    int depth = 1; // levels of the tree from this node down
};

namespace {

using NodePtr = std::shared_ptr<ExprNode>;

enum class Tok { End, Number, String, Ident, QuotedIdent, Reference, Op, LParen, RParen, Comma, Dot };

struct Token {
    Tok type = Tok::End;
    QString text;
    int pos = 0;
};

const QStringList kSystemNames = {QStringLiteral("PAGE#"), QStringLiteral("TOTALPAGES#"),
                                  QStringLiteral("DATE"), QStringLiteral("TIME"), QStringLiteral("LINE#")};

bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#'); }

class Parser {
public:
    explicit Parser(const QString& text) : m_text(text) { advance(true); }

    NodePtr parseAll() {
        NodePtr n = parseOr();
        if (m_tok.type != Tok::End)
            fail(QStringLiteral("símbolo inesperado '%1'").arg(m_tok.text));
        return n;
    }

private:
    [[noreturn]] void fail(const QString& reason) const {
        throw GeneralError(QStringLiteral("Error en la expresión '%1': %2 (posición %3).")
                               .arg(m_text, reason)
                               .arg(m_tok.pos + 1));
    }

    // Reads the next token; operandExpected decides what "<" means.
    void advance(bool operandExpected) {
        const QString& s = m_text;
        int i = m_pos;
        while (i < s.size() && s[i].isSpace())
            ++i;
        m_tok = Token{Tok::End, QString(), i};
        if (i >= s.size()) {
            m_pos = i;
            return;
        }
        const QChar c = s[i];
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < s.size() && s[i + 1].isDigit())) {
            int j = i;
            while (j < s.size() && s[j].isDigit())
                ++j;
            if (j < s.size() && s[j] == QLatin1Char('.') && j + 1 < s.size() && s[j + 1].isDigit()) {
                ++j;
                while (j < s.size() && s[j].isDigit())
                    ++j;
            }
            m_tok = Token{Tok::Number, s.mid(i, j - i), i};
            m_pos = j;
            return;
        }
        if (c == QLatin1Char('\'')) {
            QString out;
            int j = i + 1;
            for (;;) {
                if (j >= s.size()) {
                    m_tok.pos = i;
                    fail(QStringLiteral("texto sin cerrar"));
                }
                if (s[j] == QLatin1Char('\'')) {
                    if (j + 1 < s.size() && s[j + 1] == QLatin1Char('\'')) {
                        out += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                out += s[j++];
            }
            m_tok = Token{Tok::String, out, i};
            m_pos = j + 1;
            return;
        }
        if (c == QLatin1Char('"')) {
            const int j = s.indexOf(QLatin1Char('"'), i + 1);
            if (j < 0) {
                m_tok.pos = i;
                fail(QStringLiteral("nombre entre comillas sin cerrar"));
            }
            m_tok = Token{Tok::QuotedIdent, s.mid(i + 1, j - i - 1), i};
            m_pos = j + 1;
            return;
        }
        if (c == QLatin1Char('<') && operandExpected) {
            // A reference runs to the matching ">" outside double quotes.
            int j = i + 1;
            bool quoted = false;
            while (j < s.size() && (quoted || s[j] != QLatin1Char('>'))) {
                if (s[j] == QLatin1Char('"'))
                    quoted = !quoted;
                ++j;
            }
            if (j >= s.size()) {
                m_tok.pos = i;
                fail(QStringLiteral("referencia sin cerrar"));
            }
            m_tok = Token{Tok::Reference, s.mid(i + 1, j - i - 1).trimmed(), i};
            m_pos = j + 1;
            return;
        }
        if (isIdentStart(c)) {
            int j = i;
            while (j < s.size() && isIdentChar(s[j]))
                ++j;
            m_tok = Token{Tok::Ident, s.mid(i, j - i), i};
            m_pos = j;
            return;
        }
        static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
        const QString two = s.mid(i, 2);
        if (twoChar.contains(two)) {
            m_tok = Token{Tok::Op, two, i};
            m_pos = i + 2;
            return;
        }
        switch (c.unicode()) {
        case '(': m_tok = Token{Tok::LParen, QStringLiteral("("), i}; break;
        case ')': m_tok = Token{Tok::RParen, QStringLiteral(")"), i}; break;
        case ',': m_tok = Token{Tok::Comma, QStringLiteral(","), i}; break;
        case '.': m_tok = Token{Tok::Dot, QStringLiteral("."), i}; break;
        case '+': case '-': case '*': case '/': case '=': case '<': case '>':
            m_tok = Token{Tok::Op, QString(c), i};
            break;
        default:
            m_tok.pos = i;
            fail(QStringLiteral("carácter inesperado '%1'").arg(c));
        }
        m_pos = i + 1;
    }

    bool isKeyword(const char* word) const {
        return m_tok.type == Tok::Ident && m_tok.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isOp(const char* op) const { return m_tok.type == Tok::Op && m_tok.text == QLatin1String(op); }

    // Parsing, evaluating and freeing a tree all recurse over its levels: a layout's expression nested
    // deeper than any real one (thousands of parentheses, or of operators in a row) is refused rather than
    // allowed to exhaust the stack.
    static constexpr int kMaxDepth = 200;

    NodePtr make(NodeKind kind, const QString& name, std::vector<NodePtr> args = {}) const {
        auto n = std::make_shared<ExprNode>();
        n->kind = kind;
        n->name = name;
        n->args = std::move(args);
        for (const NodePtr& a : n->args)
            if (a)
                n->depth = std::max(n->depth, a->depth + 1);
        if (n->depth > kMaxDepth)
            tooDeep();
        return n;
    }

    [[noreturn]] void tooDeep() const {
        fail(QStringLiteral("anida más de %1 niveles de paréntesis u operadores").arg(kMaxDepth));
    }

    // Counts the nesting of the descent itself, which goes deeper than the tree it builds.
    struct Nesting {
        explicit Nesting(const Parser& p) : parser(p) {
            if (++parser.m_nesting > kMaxDepth)
                parser.tooDeep();
        }
        ~Nesting() { --parser.m_nesting; }
        const Parser& parser;
    };

    NodePtr parseOr() {
        NodePtr left = parseAnd();
        while (isKeyword("or")) {
            advance(true);
            left = make(NodeKind::Binary, QStringLiteral("or"), {left, parseAnd()});
        }
        return left;
    }
    NodePtr parseAnd() {
        NodePtr left = parseNot();
        while (isKeyword("and")) {
            advance(true);
            left = make(NodeKind::Binary, QStringLiteral("and"), {left, parseNot()});
        }
        return left;
    }
    NodePtr parseNot() {
        const Nesting nesting(*this);
        if (isKeyword("not")) {
            advance(true);
            return make(NodeKind::Unary, QStringLiteral("not"), {parseNot()});
        }
        return parseComparison();
    }
    NodePtr parseComparison() {
        NodePtr left = parseAdditive();
        static const QStringList ops = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                        QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        if (m_tok.type == Tok::Op && ops.contains(m_tok.text)) {
            const QString op = m_tok.text;
            advance(true);
            left = make(NodeKind::Binary, op, {left, parseAdditive()});
        }
        return left;
    }
    NodePtr parseAdditive() {
        NodePtr left = parseTerm();
        while (isOp("+") || isOp("-")) {
            const QString op = m_tok.text;
            advance(true);
            left = make(NodeKind::Binary, op, {left, parseTerm()});
        }
        return left;
    }
    NodePtr parseTerm() {
        NodePtr left = parseUnary();
        while (isOp("*") || isOp("/") || isKeyword("div") || isKeyword("mod")) {
            const QString op = m_tok.text.toLower();
            advance(true);
            left = make(NodeKind::Binary, op, {left, parseUnary()});
        }
        return left;
    }
    NodePtr parseUnary() {
        const Nesting nesting(*this);
        if (isOp("-")) {
            advance(true);
            return make(NodeKind::Unary, QStringLiteral("-"), {parseUnary()});
        }
        if (isOp("+")) {
            advance(true);
            return parseUnary();
        }
        return parsePrimary();
    }

    NodePtr referenceNode(const QString& ref) {
        // <Ds."FIELD">, <Ds.FIELD>, <variable>, <PAGE#>
        const int dot = ref.indexOf(QLatin1Char('.'));
        if (dot > 0) {
            QString field = ref.mid(dot + 1).trimmed();
            if (field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')) && field.size() >= 2)
                field = field.mid(1, field.size() - 2);
            auto n = make(NodeKind::Field, ref.left(dot).trimmed());
            n->field = field;
            return n;
        }
        return nameNode(ref);
    }

    NodePtr nameNode(const QString& name) const {
        if (kSystemNames.contains(name.toUpper()))
            return make(NodeKind::System, name.toUpper());
        if (name.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            auto n = make(NodeKind::Literal, QString());
            n->literal = name.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            return n;
        }
        return make(NodeKind::Variable, name);
    }

    NodePtr parsePrimary() {
        switch (m_tok.type) {
        case Tok::Number: {
            auto n = make(NodeKind::Literal, QString());
            if (m_tok.text.contains(QLatin1Char('.')))
                n->literal = m_tok.text.toDouble();
            else
                n->literal = m_tok.text.toLongLong();
            advance(false);
            return n;
        }
        case Tok::String: {
            auto n = make(NodeKind::Literal, QString());
            n->literal = m_tok.text;
            advance(false);
            return n;
        }
        case Tok::Reference: {
            NodePtr n = referenceNode(m_tok.text);
            advance(false);
            return n;
        }
        case Tok::LParen: {
            advance(true);
            NodePtr n = parseOr();
            if (m_tok.type != Tok::RParen)
                fail(QStringLiteral("falta ')'"));
            advance(false);
            return n;
        }
        case Tok::Ident: {
            const QString name = m_tok.text;
            advance(false);
            if (m_tok.type == Tok::LParen) {
                advance(true);
                std::vector<NodePtr> args;
                if (m_tok.type != Tok::RParen) {
                    for (;;) {
                        args.push_back(parseOr());
                        if (m_tok.type == Tok::Comma) {
                            advance(true);
                            continue;
                        }
                        break;
                    }
                }
                if (m_tok.type != Tok::RParen)
                    fail(QStringLiteral("falta ')' en la llamada a %1").arg(name));
                advance(false);
                const QString upper = name.toUpper();
                static const QStringList aggregates = {QStringLiteral("SUM"), QStringLiteral("COUNT"),
                                                       QStringLiteral("MIN"), QStringLiteral("MAX"),
                                                       QStringLiteral("AVG")};
                return make(aggregates.contains(upper) ? NodeKind::Aggregate : NodeKind::Call, upper,
                            std::move(args));
            }
            if (m_tok.type == Tok::Dot) {
                advance(false);
                if (m_tok.type != Tok::QuotedIdent && m_tok.type != Tok::Ident)
                    fail(QStringLiteral("falta el nombre del campo"));
                auto n = make(NodeKind::Field, name);
                n->field = m_tok.text;
                advance(false);
                return n;
            }
            return nameNode(name);
        }
        case Tok::End:
            fail(QStringLiteral("expresión incompleta"));
        default:
            fail(QStringLiteral("símbolo inesperado '%1'").arg(m_tok.text));
        }
    }

    const QString& m_text;
    int m_pos = 0;
    Token m_tok;
    mutable int m_nesting = 0;
};

bool isText(const QVariant& v) { return v.metaType().id() == QMetaType::QString; }
bool isDate(const QVariant& v) {
    const int id = v.metaType().id();
    return id == QMetaType::QDateTime || id == QMetaType::QDate;
}
QDateTime toDateTime(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().startOfDay();
    return v.toDateTime();
}
bool isIntegral(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QString textOf(const QVariant& v) {
    if (!v.isValid())
        return QString();
    if (isDate(v)) {
        const QDateTime dt = toDateTime(v);
        const FormatSettings& fs = FormatSettings::global();
        QString s = dt.date().toString(fs.shortDateFormat);
        if (dt.time() != QTime(0, 0))
            s += QLatin1Char(' ') + dt.time().toString(fs.longTimeFormat);
        return s;
    }
    if (v.metaType().id() == QMetaType::QTime)
        return v.toTime().toString(FormatSettings::global().longTimeFormat);
    if (v.metaType().id() == QMetaType::Double) {
        // Whole numbers (codes, counts) print as integers, which is what 15 significant digits give them.
        const double d = v.toDouble();
        if (d != 0 && std::fabs(d) < 1e15 && std::trunc(d) == d)
            return QString::number(static_cast<qlonglong>(d));
        QString s = QString::number(d, 'g', 15);
        s.replace(QLatin1Char('.'), FormatSettings::global().decimalSeparator);
        return s;
    }
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

int compareValues(const QVariant& a, const QVariant& b) {
    if ((isDate(a) || !a.isValid()) && (isDate(b) || !b.isValid()) && (isDate(a) || isDate(b))) {
        const QDateTime x = a.isValid() ? toDateTime(a) : QDateTime();
        const QDateTime y = b.isValid() ? toDateTime(b) : QDateTime();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (isText(a) || isText(b)) {
        const int c = QString::compare(textOf(a), textOf(b));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const double x = toNumber(a), y = toNumber(b);
    return x < y ? -1 : (y < x ? 1 : 0);
}

QVariant numberResult(double value, bool integral) {
    if (integral && std::fabs(value) < 9e15)
        return static_cast<qlonglong>(value);
    return value;
}

QVariant callFunction(const ExprNode& node, ExpressionContext& ctx);

QVariant eval(const ExprNode& node, ExpressionContext& ctx) {
    switch (node.kind) {
    case NodeKind::Literal: return node.literal;
    case NodeKind::Field: return ctx.fieldValue(node.name, node.field);
    case NodeKind::Variable: return ctx.variable(node.name);
    case NodeKind::System: return ctx.systemValue(node.name);
    case NodeKind::Aggregate: return ctx.aggregate(node);
    case NodeKind::Call: return callFunction(node, ctx);
    case NodeKind::Unary: {
        const QVariant v = eval(*node.args[0], ctx);
        if (node.name == QLatin1String("not"))
            return !toBool(v);
        return numberResult(-toNumber(v), isIntegral(v) || !v.isValid());
    }
    case NodeKind::Binary: {
        const QString& op = node.name;
        if (op == QLatin1String("and"))
            return toBool(eval(*node.args[0], ctx)) && toBool(eval(*node.args[1], ctx));
        if (op == QLatin1String("or"))
            return toBool(eval(*node.args[0], ctx)) || toBool(eval(*node.args[1], ctx));
        const QVariant a = eval(*node.args[0], ctx);
        const QVariant b = eval(*node.args[1], ctx);
        if (op == QLatin1String("=")) return compareValues(a, b) == 0;
        if (op == QLatin1String("<>")) return compareValues(a, b) != 0;
        if (op == QLatin1String("<")) return compareValues(a, b) < 0;
        if (op == QLatin1String(">")) return compareValues(a, b) > 0;
        if (op == QLatin1String("<=")) return compareValues(a, b) <= 0;
        if (op == QLatin1String(">=")) return compareValues(a, b) >= 0;
        if (op == QLatin1String("+") && (isText(a) || isText(b)))
            return textOf(a) + textOf(b);
        const bool integral = (isIntegral(a) || !a.isValid()) && (isIntegral(b) || !b.isValid());
        const double x = toNumber(a), y = toNumber(b);
        if (op == QLatin1String("+")) return numberResult(x + y, integral);
        if (op == QLatin1String("-")) return numberResult(x - y, integral);
        if (op == QLatin1String("*")) return numberResult(x * y, integral);
        if (op == QLatin1String("/")) return y == 0 ? QVariant() : QVariant(x / y);
        if (op == QLatin1String("div"))
            return y == 0 ? QVariant() : QVariant(static_cast<qlonglong>(std::trunc(x / y)));
        if (op == QLatin1String("mod"))
            return y == 0 ? QVariant() : QVariant(static_cast<qlonglong>(std::fmod(std::trunc(x), std::trunc(y))));
        break;
    }
    }
    return QVariant();
}

void expectArgs(const ExprNode& node, size_t min, size_t max) {
    if (node.args.size() < min || node.args.size() > max)
        throw GeneralError(QStringLiteral("La función %1 recibe un número de argumentos no válido.").arg(node.name));
}

QVariant callFunction(const ExprNode& node, ExpressionContext& ctx) {
    const QString& f = node.name;
    auto arg = [&](size_t i) { return eval(*node.args[i], ctx); };
    if (f == QLatin1String("IIF")) {
        expectArgs(node, 3, 3);
        return toBool(arg(0)) ? arg(1) : arg(2);
    }
    if (f == QLatin1String("INTTOSTR")) {
        expectArgs(node, 1, 1);
        const QVariant v = arg(0);
        return QString::number(static_cast<qlonglong>(std::trunc(toNumber(v))));
    }
    if (f == QLatin1String("FLOATTOSTR")) {
        expectArgs(node, 1, 1);
        return textOf(QVariant(toNumber(arg(0))));
    }
    if (f == QLatin1String("TRUNC")) {
        expectArgs(node, 1, 1);
        return static_cast<qlonglong>(std::trunc(toNumber(arg(0))));
    }
    if (f == QLatin1String("ROUND")) {
        expectArgs(node, 1, 1);
        return static_cast<qlonglong>(std::llround(toNumber(arg(0))));
    }
    if (f == QLatin1String("MONTHOF") || f == QLatin1String("YEAROF") || f == QLatin1String("DAYOF")) {
        expectArgs(node, 1, 1);
        const QVariant v = arg(0);
        if (!isDate(v))
            return QVariant();
        const QDate d = toDateTime(v).date();
        return static_cast<qlonglong>(f == QLatin1String("MONTHOF") ? d.month()
                                      : f == QLatin1String("YEAROF") ? d.year() : d.day());
    }
    if (f == QLatin1String("TRIM")) {
        expectArgs(node, 1, 1);
        return textOf(arg(0)).trimmed();
    }
    if (f == QLatin1String("UPPERCASE")) {
        expectArgs(node, 1, 1);
        return textOf(arg(0)).toUpper();
    }
    if (f == QLatin1String("LENGTH")) {
        expectArgs(node, 1, 1);
        return static_cast<qlonglong>(textOf(arg(0)).size());
    }
    if (f == QLatin1String("COPY")) {
        expectArgs(node, 3, 3);
        const QString s = textOf(arg(0));
        const int from = static_cast<int>(toNumber(arg(1)));
        const int count = static_cast<int>(toNumber(arg(2)));
        return s.mid(std::max(0, from - 1), std::max(0, count));
    }
    if (f == QLatin1String("DATETOSTR")) {
        expectArgs(node, 1, 1);
        const QVariant v = arg(0);
        return isDate(v) ? toDateTime(v).date().toString(FormatSettings::global().shortDateFormat) : QString();
    }
    if (f == QLatin1String("FORMATFLOAT")) {
        expectArgs(node, 2, 2);
        const QString fmt = textOf(arg(0));
        const double v = toNumber(arg(1));
        const int dot = fmt.indexOf(QLatin1Char('.'));
        const int decimals = dot < 0 ? 0 : static_cast<int>(fmt.size() - dot - 1);
        return FormatSettings::global().formatNumber(v, decimals, fmt.contains(QLatin1Char(',')));
    }
    throw GeneralError(QStringLiteral("Función desconocida en la expresión: %1.").arg(f));
}

void collect(const ExprNode& n, std::vector<const ExprNode*>& aggs, QStringList& dataSets, bool& pages) {
    if (n.kind == NodeKind::Aggregate)
        aggs.push_back(&n);
    if (n.kind == NodeKind::Field && !dataSets.contains(n.name, Qt::CaseInsensitive))
        dataSets << n.name;
    if (n.kind == NodeKind::System && (n.name == QLatin1String("PAGE#") || n.name == QLatin1String("TOTALPAGES#")))
        pages = true;
    for (const auto& a : n.args)
        collect(*a, aggs, dataSets, pages);
}

} // namespace

double toNumber(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.metaType().id() == QMetaType::QString) {
        QString s = v.toString().trimmed();
        if (s.isEmpty())
            return 0;
        bool ok = false;
        double d = s.toDouble(&ok);
        if (!ok) {
            s.replace(FormatSettings::global().decimalSeparator, QLatin1Char('.'));
            d = s.toDouble(&ok);
        }
        return ok ? d : 0;
    }
    if (isDate(v)) {
        const QDateTime dt = toDateTime(v);
        return static_cast<double>(QDate(1899, 12, 30).daysTo(dt.date())) +
               dt.time().msecsSinceStartOfDay() / 86400000.0;
    }
    return v.toDouble();
}

bool toBool(const QVariant& v) {
    if (!v.isValid())
        return false;
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    if (v.metaType().id() == QMetaType::QString) {
        const QString s = v.toString();
        return s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s == QLatin1String("1");
    }
    return toNumber(v) != 0;
}

bool isNumeric(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

Expression Expression::parse(const QString& text) {
    Expression e;
    e.m_text = text;
    if (text.trimmed().isEmpty())
        return e;
    Parser p(text);
    e.m_root = p.parseAll();
    return e;
}

QVariant Expression::evaluate(ExpressionContext& context) const {
    if (!m_root)
        return QVariant();
    return eval(*m_root, context);
}

std::vector<const ExprNode*> Expression::aggregates() const {
    std::vector<const ExprNode*> aggs;
    QStringList ds;
    bool pages = false;
    if (m_root)
        collect(*m_root, aggs, ds, pages);
    return aggs;
}

QStringList Expression::dataSets() const {
    std::vector<const ExprNode*> aggs;
    QStringList ds;
    bool pages = false;
    if (m_root)
        collect(*m_root, aggs, ds, pages);
    return ds;
}

bool Expression::usesPageNumbers() const {
    std::vector<const ExprNode*> aggs;
    QStringList ds;
    bool pages = false;
    if (m_root)
        collect(*m_root, aggs, ds, pages);
    return pages;
}

AggregateCall describeAggregate(const ExprNode& node) {
    AggregateCall call;
    const QString& f = node.name;
    call.function = f == QLatin1String("SUM")   ? AggregateFunction::Sum
                    : f == QLatin1String("COUNT") ? AggregateFunction::Count
                    : f == QLatin1String("MIN")   ? AggregateFunction::Min
                    : f == QLatin1String("MAX")   ? AggregateFunction::Max
                                                  : AggregateFunction::Avg;
    size_t next = 0;
    if (call.function != AggregateFunction::Count && !node.args.empty()) {
        call.argument = node.args[0].get();
        next = 1;
    }
    if (node.args.size() > next && node.args[next]->kind == NodeKind::Variable)
        call.bandName = node.args[next]->name;
    return call;
}

QVariant evaluateNode(const ExprNode& node, ExpressionContext& context) { return eval(node, context); }

QString valueText(const QVariant& v) { return textOf(v); }

std::vector<TextSegment> splitBracketed(const QString& t) {
    std::vector<TextSegment> segments;
    int pos = 0;
    while (pos < t.size()) {
        const int open = t.indexOf(QLatin1Char('['), pos);
        if (open < 0) {
            segments.push_back(TextSegment{false, t.mid(pos)});
            break;
        }
        int depth = 0, close = -1;
        bool quote = false, dquote = false;
        for (int i = open; i < t.size(); ++i) {
            const QChar c = t[i];
            if (c == QLatin1Char('\'') && !dquote)
                quote = !quote;
            else if (c == QLatin1Char('"') && !quote)
                dquote = !dquote;
            else if (!quote && !dquote && c == QLatin1Char('['))
                ++depth;
            else if (!quote && !dquote && c == QLatin1Char(']') && --depth == 0) {
                close = i;
                break;
            }
        }
        if (close < 0)
            throw GeneralError(QStringLiteral("falta ']' en el texto '%1'").arg(t));
        if (open > pos)
            segments.push_back(TextSegment{false, t.mid(pos, open - pos)});
        segments.push_back(TextSegment{true, t.mid(open + 1, close - open - 1)});
        pos = close + 1;
    }
    return segments;
}

} // namespace report
