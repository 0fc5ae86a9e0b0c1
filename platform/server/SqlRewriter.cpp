#include "SqlRewriter.h"

#include "GeneralError.h"

#include <vector>

namespace {

// Words that may stand before '(' without naming a function.
bool isReserved(const SqlToken& t) {
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"),      QStringLiteral("WHERE"),
        QStringLiteral("AND"),    QStringLiteral("OR"),        QStringLiteral("NOT"),
        QStringLiteral("IN"),     QStringLiteral("EXISTS"),    QStringLiteral("ON"),
        QStringLiteral("AS"),     QStringLiteral("BY"),        QStringLiteral("GROUP"),
        QStringLiteral("ORDER"),  QStringLiteral("HAVING"),    QStringLiteral("UNION"),
        QStringLiteral("ALL"),    QStringLiteral("DISTINCT"),  QStringLiteral("CASE"),
        QStringLiteral("WHEN"),   QStringLiteral("THEN"),      QStringLiteral("ELSE"),
        QStringLiteral("END"),    QStringLiteral("IS"),        QStringLiteral("NULL"),
        QStringLiteral("LIKE"),   QStringLiteral("BETWEEN"),   QStringLiteral("JOIN"),
        QStringLiteral("INNER"),  QStringLiteral("OUTER"),     QStringLiteral("CROSS"),
        QStringLiteral("FULL"),   QStringLiteral("INTO"),      QStringLiteral("VALUES"),
        QStringLiteral("SET"),    QStringLiteral("ANY"),       QStringLiteral("SOME"),
        QStringLiteral("ESCAPE"), QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),
        QStringLiteral("TOP"),    QStringLiteral("ASC"),       QStringLiteral("DESC"),
        QStringLiteral("WITH"),   QStringLiteral("LIMIT"),     QStringLiteral("OFFSET")};
    return t.kind == SqlToken::Word && words.contains(t.text.toUpper());
}

bool isTextTypeName(const SqlToken& t) {
    static const QSet<QString> types = {QStringLiteral("CHAR"),      QStringLiteral("VARCHAR"),
                                        QStringLiteral("NCHAR"),     QStringLiteral("NVARCHAR"),
                                        QStringLiteral("TEXT"),      QStringLiteral("NTEXT"),
                                        QStringLiteral("CHARACTER"), QStringLiteral("CLOB")};
    return t.kind == SqlToken::Word && types.contains(t.text.toUpper());
}

bool isTextFunction(const QString& upperName) {
    static const QSet<QString> names = {
        QStringLiteral("UPPER"),     QStringLiteral("LOWER"),    QStringLiteral("LTRIM"),
        QStringLiteral("RTRIM"),     QStringLiteral("TRIM"),     QStringLiteral("SUBSTRING"),
        QStringLiteral("SUBSTR"),    QStringLiteral("REPLACE"),  QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),     QStringLiteral("CONCAT"),   QStringLiteral("STR"),
        QStringLiteral("CHAR"),      QStringLiteral("NCHAR"),    QStringLiteral("SPACE"),
        QStringLiteral("REPLICATE"), QStringLiteral("REVERSE"),  QStringLiteral("STUFF"),
        QStringLiteral("FORMAT"),    QStringLiteral("QUOTENAME")};
    return names.contains(upperName);
}

bool isName(const SqlToken& t) {
    return t.kind == SqlToken::Word || t.kind == SqlToken::QuotedIdentifier;
}

std::optional<QString> canonicalDatePart(const QString& written) {
    const QString w = written.toUpper();
    if (w == QLatin1String("YEAR") || w == QLatin1String("YY") || w == QLatin1String("YYYY"))
        return QStringLiteral("YEAR");
    if (w == QLatin1String("MONTH") || w == QLatin1String("MM") || w == QLatin1String("M"))
        return QStringLiteral("MONTH");
    if (w == QLatin1String("DAY") || w == QLatin1String("DD") || w == QLatin1String("D"))
        return QStringLiteral("DAY");
    if (w == QLatin1String("HOUR") || w == QLatin1String("HH"))
        return QStringLiteral("HOUR");
    if (w == QLatin1String("MINUTE") || w == QLatin1String("MI") || w == QLatin1String("N"))
        return QStringLiteral("MINUTE");
    if (w == QLatin1String("SECOND") || w == QLatin1String("SS") || w == QLatin1String("S"))
        return QStringLiteral("SECOND");
    return std::nullopt;
}

SqlTokens synthetic(const QString& text) {
    SqlTokens tokens = SqlTokenizer::tokenize(text);
    for (SqlToken& t : tokens)
        t.offset = -1;
    return tokens;
}

[[noreturn]] void malformed(const QString& what) {
    throw GeneralError(QStringLiteral("Sentencia SQL mal formada: %1.").arg(what));
}

} // namespace

SqlRewriter::SqlRewriter(const QString& statement) : m_tokens(SqlTokenizer::tokenize(statement)) {
    std::vector<qsizetype> open;
    for (const SqlToken& t : m_tokens) {
        if (t.kind == SqlToken::LeftParen) {
            open.push_back(t.offset);
        } else if (t.kind == SqlToken::RightParen) {
            if (open.empty())
                malformed(QStringLiteral("paréntesis de cierre sin apertura (%1)")
                              .arg(SqlTokenizer::describePosition(statement, t.offset)));
            open.pop_back();
        }
    }
    if (!open.empty())
        malformed(QStringLiteral("paréntesis sin cerrar (%1)")
                      .arg(SqlTokenizer::describePosition(statement, open.back())));
}

qsizetype SqlRewriter::next(qsizetype i) const {
    for (qsizetype k = i + 1; k < static_cast<qsizetype>(m_tokens.size()); ++k)
        if (!m_tokens[k].isTrivia())
            return k;
    return -1;
}

qsizetype SqlRewriter::prev(qsizetype i) const {
    for (qsizetype k = i - 1; k >= 0; --k)
        if (!m_tokens[k].isTrivia())
            return k;
    return -1;
}

qsizetype SqlRewriter::matchClose(qsizetype open) const {
    int depth = 0;
    for (qsizetype k = open; k < static_cast<qsizetype>(m_tokens.size()); ++k) {
        if (m_tokens[k].kind == SqlToken::LeftParen)
            ++depth;
        else if (m_tokens[k].kind == SqlToken::RightParen && --depth == 0)
            return k;
    }
    malformed(QStringLiteral("paréntesis sin cerrar"));
}

qsizetype SqlRewriter::matchOpen(qsizetype close) const {
    int depth = 0;
    for (qsizetype k = close; k >= 0; --k) {
        if (m_tokens[k].kind == SqlToken::RightParen)
            ++depth;
        else if (m_tokens[k].kind == SqlToken::LeftParen && --depth == 0)
            return k;
    }
    malformed(QStringLiteral("paréntesis de cierre sin apertura"));
}

bool SqlRewriter::isCompoundWord(qsizetype i) const {
    if (i < 0)
        return false;
    const SqlToken& t = m_tokens[i];
    return t.isWord(QLatin1String("UNION")) || t.isWord(QLatin1String("INTERSECT")) ||
           t.isWord(QLatin1String("EXCEPT"));
}

bool SqlRewriter::isFunctionName(qsizetype i) const {
    if (i < 0 || m_tokens[i].kind != SqlToken::Word || isReserved(m_tokens[i]))
        return false;
    const qsizetype n = next(i);
    return n >= 0 && m_tokens[n].kind == SqlToken::LeftParen;
}

void SqlRewriter::blank(qsizetype i) {
    m_tokens[i] = SqlToken{SqlToken::Whitespace, QString(), -1};
}

void SqlRewriter::replaceRange(qsizetype first, qsizetype last, const SqlTokens& replacement) {
    m_tokens.erase(m_tokens.begin() + first, m_tokens.begin() + last + 1);
    m_tokens.insert(m_tokens.begin() + first, replacement.begin(), replacement.end());
}

void SqlRewriter::requireSingleStatement() {
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i)
        if (m_tokens[i].kind == SqlToken::Semicolon && next(i) >= 0)
            throw GeneralError(QStringLiteral("La sentencia contiene más de una instrucción; el servidor de "
                                              "aplicaciones ejecuta una sola."));
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i)
        if (m_tokens[i].kind == SqlToken::Semicolon)
            blank(i);
    if (next(-1) < 0)
        throw GeneralError(QStringLiteral("La sentencia SQL está vacía."));
}

QString SqlRewriter::leadingWord() const {
    qsizetype k = next(-1);
    while (k >= 0 && m_tokens[k].kind == SqlToken::LeftParen)
        k = next(k);
    return k >= 0 && m_tokens[k].kind == SqlToken::Word ? m_tokens[k].text.toUpper() : QString();
}

void SqlRewriter::removeComments() {
    for (SqlToken& t : m_tokens)
        if (t.kind == SqlToken::Comment)
            t = SqlToken{SqlToken::Whitespace, QStringLiteral(" "), t.offset};
}

void SqlRewriter::rewriteDatePart(const std::function<DatePartForm(const QString& part)>& form) {
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i) {
        if (!m_tokens[i].isWord(QLatin1String("DATEPART")))
            continue;
        const qsizetype before = prev(i);
        const qsizetype open = next(i);
        if ((before >= 0 && m_tokens[before].kind == SqlToken::Dot) || open < 0 ||
            m_tokens[open].kind != SqlToken::LeftParen)
            continue;
        const qsizetype close = matchClose(open);
        const qsizetype part = next(open);
        const qsizetype comma = part >= 0 ? next(part) : -1;
        const qsizetype argFirst = comma >= 0 ? next(comma) : -1;
        if (part >= close || m_tokens[part].kind != SqlToken::Word || comma >= close ||
            m_tokens[comma].kind != SqlToken::Comma || argFirst >= close)
            malformed(QStringLiteral("DATEPART espera una parte de fecha y una expresión"));
        const auto canonical = canonicalDatePart(m_tokens[part].text);
        if (!canonical)
            throw GeneralError(
                QStringLiteral("Parte de fecha '%1' no admitida en DATEPART.").arg(m_tokens[part].text));

        const DatePartForm f = form(*canonical);
        const SqlTokens head = synthetic(f.before);
        SqlTokens replacement = head;
        replacement.insert(replacement.end(), m_tokens.begin() + argFirst,
                           m_tokens.begin() + prev(close) + 1);
        const SqlTokens tail = synthetic(f.after);
        replacement.insert(replacement.end(), tail.begin(), tail.end());
        replaceRange(i, close, replacement);
        // Go on with the argument, which may hold DATEPART calls of its own.
        i += static_cast<qsizetype>(head.size()) - 1;
    }
}

void SqlRewriter::renameFunction(QLatin1String from, const QString& to) {
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i) {
        const qsizetype before = prev(i);
        if (m_tokens[i].isWord(from) && isFunctionName(i) &&
            !(before >= 0 && m_tokens[before].kind == SqlToken::Dot))
            m_tokens[i].text = to;
    }
}

void SqlRewriter::replaceEmptyCall(QLatin1String name, const QString& replacement) {
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i) {
        if (!m_tokens[i].isWord(name))
            continue;
        const qsizetype before = prev(i);
        const qsizetype open = next(i);
        const qsizetype close = open >= 0 ? next(open) : -1;
        if ((before >= 0 && m_tokens[before].kind == SqlToken::Dot) || open < 0 ||
            m_tokens[open].kind != SqlToken::LeftParen || m_tokens[close].kind != SqlToken::RightParen)
            continue;
        const SqlTokens tokens = synthetic(replacement);
        replaceRange(i, close, tokens);
        i += static_cast<qsizetype>(tokens.size()) - 1;
    }
}

// The operand that starts at token i, or none when no operand starts there (a keyword, an operator).
std::optional<SqlRewriter::Operand> SqlRewriter::operandForward(qsizetype i,
                                                                const QSet<QString>& textColumns) const {
    if (i < 0)
        return std::nullopt;
    const SqlToken& t = m_tokens[i];
    switch (t.kind) {
    case SqlToken::String:
        return Operand{i, i, true};
    case SqlToken::Number:
    case SqlToken::Parameter:
        return Operand{i, i, false};
    case SqlToken::LeftParen: {
        const qsizetype close = matchClose(i);
        return Operand{i, close, groupHasText(i, close, textColumns)};
    }
    case SqlToken::Word:
    case SqlToken::QuotedIdentifier:
        break;
    default:
        return std::nullopt;
    }
    if (t.isWord(QLatin1String("NULL")))
        return Operand{i, i, false};
    if (t.isWord(QLatin1String("CASE"))) {
        int depth = 0;
        for (qsizetype k = next(i); k >= 0; k = next(k)) {
            if (m_tokens[k].kind == SqlToken::LeftParen)
                k = matchClose(k);
            else if (m_tokens[k].isWord(QLatin1String("CASE")))
                ++depth;
            else if (m_tokens[k].isWord(QLatin1String("END")) && depth-- == 0)
                return Operand{i, k, false};
        }
        return std::nullopt;
    }
    if (isReserved(t))
        return std::nullopt;
    qsizetype last = i;
    for (qsizetype dot = next(last); dot >= 0 && m_tokens[dot].kind == SqlToken::Dot; dot = next(last)) {
        const qsizetype n = next(dot);
        if (n < 0 || !isName(m_tokens[n]))
            break;
        last = n;
    }
    if (isFunctionName(last)) {
        const qsizetype open = next(last);
        const qsizetype close = matchClose(open);
        return Operand{i, close, callIsText(last, open, close, textColumns)};
    }
    return Operand{i, last, textColumns.contains(m_tokens[last].name().toUpper())};
}

// The operand that ends at token i, or none.
std::optional<SqlRewriter::Operand> SqlRewriter::operandBackward(qsizetype i,
                                                                 const QSet<QString>& textColumns) const {
    if (i < 0)
        return std::nullopt;
    const SqlToken& t = m_tokens[i];
    auto qualifiedStart = [this](qsizetype first) {
        for (qsizetype dot = prev(first); dot >= 0 && m_tokens[dot].kind == SqlToken::Dot;
             dot = prev(first)) {
            const qsizetype p = prev(dot);
            if (p < 0 || !isName(m_tokens[p]))
                break;
            first = p;
        }
        return first;
    };
    switch (t.kind) {
    case SqlToken::String:
        return Operand{i, i, true};
    case SqlToken::Number:
    case SqlToken::Parameter:
        return Operand{i, i, false};
    case SqlToken::RightParen: {
        const qsizetype open = matchOpen(i);
        const qsizetype name = prev(open);
        if (isFunctionName(name))
            return Operand{qualifiedStart(name), i, callIsText(name, open, i, textColumns)};
        return Operand{open, i, groupHasText(open, i, textColumns)};
    }
    case SqlToken::Word:
    case SqlToken::QuotedIdentifier:
        break;
    default:
        return std::nullopt;
    }
    if (t.isWord(QLatin1String("NULL")))
        return Operand{i, i, false};
    if (t.isWord(QLatin1String("END"))) {
        int depth = 0;
        for (qsizetype k = prev(i); k >= 0; k = prev(k)) {
            if (m_tokens[k].kind == SqlToken::RightParen)
                k = matchOpen(k);
            else if (m_tokens[k].isWord(QLatin1String("END")))
                ++depth;
            else if (m_tokens[k].isWord(QLatin1String("CASE")) && depth-- == 0)
                return Operand{k, i, false};
        }
        return std::nullopt;
    }
    if (isReserved(t))
        return std::nullopt;
    return Operand{qualifiedStart(i), i, textColumns.contains(t.name().toUpper())};
}

bool SqlRewriter::callIsText(qsizetype name, qsizetype open, qsizetype close,
                             const QSet<QString>& textColumns) const {
    const QString fn = m_tokens[name].text.toUpper();
    if (fn == QLatin1String("CAST") || fn == QLatin1String("TRY_CAST")) {
        qsizetype as = -1;
        for (qsizetype k = next(open); k >= 0 && k < close; k = next(k)) {
            if (m_tokens[k].kind == SqlToken::LeftParen)
                k = matchClose(k);
            else if (m_tokens[k].isWord(QLatin1String("AS")))
                as = k;
        }
        const qsizetype type = as >= 0 ? next(as) : -1;
        return type >= 0 && type < close && isTextTypeName(m_tokens[type]);
    }
    if (fn == QLatin1String("CONVERT") || fn == QLatin1String("TRY_CONVERT")) {
        const qsizetype type = next(open);
        return type >= 0 && type < close && isTextTypeName(m_tokens[type]);
    }
    if (isTextFunction(fn))
        return true;
    if (fn == QLatin1String("COALESCE") || fn == QLatin1String("ISNULL") || fn == QLatin1String("NULLIF") ||
        fn == QLatin1String("MIN") || fn == QLatin1String("MAX"))
        return groupHasText(open, close, textColumns);
    return false;
}

// True when an operand directly inside the parentheses open..close (not nested deeper) is text.
bool SqlRewriter::groupHasText(qsizetype open, qsizetype close, const QSet<QString>& textColumns) const {
    for (qsizetype k = next(open); k >= 0 && k < close;) {
        if (const auto op = operandForward(k, textColumns)) {
            if (op->text)
                return true;
            k = next(op->last);
        } else {
            k = next(k);
        }
    }
    return false;
}

void SqlRewriter::rewriteTextConcatenation(const QSet<QString>& textColumns) {
    std::vector<bool> seen(m_tokens.size(), false);
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i) {
        if (seen[i] || !m_tokens[i].isOperator(QLatin1String("+")))
            continue;
        const auto left = operandBackward(prev(i), textColumns);
        if (!left)
            continue; // a sign, not an addition
        std::vector<qsizetype> chain{i};
        bool text = left->text;
        for (qsizetype op = i;;) {
            const auto right = operandForward(next(op), textColumns);
            if (!right)
                break;
            text = text || right->text;
            const qsizetype n = next(right->last);
            if (n < 0 || !m_tokens[n].isOperator(QLatin1String("+")))
                break;
            chain.push_back(n);
            op = n;
        }
        for (qsizetype op : chain) {
            seen[op] = true;
            if (text)
                m_tokens[op].text = QStringLiteral("||");
        }
    }
}

void SqlRewriter::unwrapCompoundMembers() {
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_tokens.size()); ++i) {
        if (m_tokens[i].kind != SqlToken::LeftParen)
            continue;
        const qsizetype first = next(i);
        if (first < 0 || !m_tokens[first].isWord(QLatin1String("SELECT")))
            continue;
        const qsizetype close = matchClose(i);
        const qsizetype before = prev(i);
        const bool quantifier = before >= 0 && (m_tokens[before].isWord(QLatin1String("ALL")) ||
                                                m_tokens[before].isWord(QLatin1String("DISTINCT")));
        const bool afterCompound = isCompoundWord(before) || (quantifier && isCompoundWord(prev(before)));
        // A parenthesised SELECT followed by UNION is the first member only where a statement or a
        // group starts; elsewhere (IN (SELECT ...) UNION ...) it is a sub-query of the member before.
        const bool beforeCompound =
            isCompoundWord(next(close)) && (before < 0 || m_tokens[before].kind == SqlToken::LeftParen);
        if (afterCompound || beforeCompound) {
            m_tokens[i] = SqlToken{SqlToken::Whitespace, QStringLiteral(" "), -1};
            m_tokens[close] = SqlToken{SqlToken::Whitespace, QStringLiteral(" "), -1};
        }
    }
}

void SqlRewriter::resolveCompoundOrderBy() {
    resolveOrderByIn(0, static_cast<qsizetype>(m_tokens.size()));
}

QString SqlRewriter::normalized(qsizetype first, qsizetype last) const {
    QString out;
    for (qsizetype k = first; k >= 0 && k <= last; k = next(k))
        out += m_tokens[k].kind == SqlToken::QuotedIdentifier ? m_tokens[k].name().toUpper()
                                                              : m_tokens[k].text.toUpper();
    return out;
}

std::vector<SqlRewriter::SelectItem> SqlRewriter::firstSelectList(qsizetype begin, qsizetype end) const {
    qsizetype k = next(begin - 1);
    while (k >= 0 && k < end && m_tokens[k].kind == SqlToken::LeftParen) {
        end = matchClose(k);
        k = next(k);
    }
    if (k < 0 || k >= end || !m_tokens[k].isWord(QLatin1String("SELECT")))
        return {};
    k = next(k);
    while (k >= 0 && k < end &&
           (m_tokens[k].isWord(QLatin1String("DISTINCT")) || m_tokens[k].isWord(QLatin1String("ALL"))))
        k = next(k);
    if (k >= 0 && k < end && m_tokens[k].isWord(QLatin1String("TOP"))) {
        k = next(k);
        if (k >= 0 && k < end && m_tokens[k].kind == SqlToken::LeftParen)
            k = matchClose(k);
        k = next(k);
    }

    std::vector<SelectItem> items;
    auto addItem = [&](qsizetype first, qsizetype last) {
        if (first < 0 || last < first)
            return;
        SelectItem item;
        qsizetype exprLast = last;
        const qsizetype before = prev(last);
        if (isName(m_tokens[last]) && !isReserved(m_tokens[last]) && before >= first &&
            m_tokens[before].kind != SqlToken::Dot && m_tokens[before].kind != SqlToken::Operator) {
            item.alias = m_tokens[last].name().toUpper();
            exprLast = m_tokens[before].isWord(QLatin1String("AS")) ? prev(before) : before;
        }
        item.expression = normalized(first, exprLast);
        bool chain = isName(m_tokens[exprLast]);
        for (qsizetype q = first; chain && q < exprLast; q = next(q))
            chain = isName(m_tokens[q]) || m_tokens[q].kind == SqlToken::Dot;
        if (chain)
            item.column = m_tokens[exprLast].name().toUpper();
        items.push_back(item);
    };
    qsizetype itemFirst = k;
    qsizetype last = -1;
    for (; k >= 0 && k < end; k = next(k)) {
        const SqlToken& t = m_tokens[k];
        if (t.isWord(QLatin1String("FROM")) || isCompoundWord(k) || t.isWord(QLatin1String("ORDER")))
            break;
        if (t.kind == SqlToken::Comma) {
            addItem(itemFirst, last);
            itemFirst = next(k);
            continue;
        }
        if (t.kind == SqlToken::LeftParen)
            k = matchClose(k);
        last = k;
    }
    addItem(itemFirst, last);
    return items;
}

// Works on the tokens begin..end-1 of one nesting level, and on the levels inside it.
void SqlRewriter::resolveOrderByIn(qsizetype begin, qsizetype end) {
    bool compound = false;
    qsizetype orderBy = -1;
    for (qsizetype k = begin; k < end; ++k) {
        if (m_tokens[k].kind == SqlToken::LeftParen) {
            const qsizetype close = matchClose(k);
            resolveOrderByIn(k + 1, close);
            k = close;
        } else if (isCompoundWord(k)) {
            compound = true;
            orderBy = -1;
        } else if (compound && m_tokens[k].isWord(QLatin1String("ORDER"))) {
            const qsizetype by = next(k);
            if (by >= 0 && by < end && m_tokens[by].isWord(QLatin1String("BY")))
                orderBy = by;
        }
    }
    if (orderBy < 0)
        return;

    const std::vector<SelectItem> items = firstSelectList(begin, end);
    auto resolveTerm = [&](qsizetype first, qsizetype last) {
        // A term is an expression followed by ASC / DESC.
        qsizetype exprLast = last;
        if (m_tokens[last].isWord(QLatin1String("ASC")) || m_tokens[last].isWord(QLatin1String("DESC")))
            exprLast = prev(last);
        if (exprLast < first || m_tokens[first].kind == SqlToken::Number)
            return;
        const QString expression = normalized(first, exprLast);
        const QString name = isName(m_tokens[exprLast]) ? m_tokens[exprLast].name().toUpper() : QString();
        bool nameOnly = !name.isEmpty();
        for (qsizetype q = first; nameOnly && q < exprLast; q = next(q))
            nameOnly = isName(m_tokens[q]) || m_tokens[q].kind == SqlToken::Dot;
        const bool qualified = nameOnly && first != exprLast;
        for (size_t i = 0; i < items.size(); ++i) {
            const SelectItem& item = items[i];
            const bool matches = expression == item.expression ||
                                 (nameOnly && !qualified && (name == item.alias || name == item.column));
            if (!matches)
                continue;
            for (qsizetype q = first; q < exprLast; ++q)
                blank(q);
            m_tokens[exprLast] = SqlToken{SqlToken::Number, QString::number(i + 1), -1};
            return;
        }
        for (qsizetype q = first; q >= 0 && q < exprLast; q = next(q)) {
            const qsizetype dot = next(q);
            const qsizetype after = dot >= 0 ? next(dot) : -1;
            if (!isName(m_tokens[q]) || dot < 0 || dot > exprLast || m_tokens[dot].kind != SqlToken::Dot ||
                after < 0 || after > exprLast ||
                !(isName(m_tokens[after]) || m_tokens[after].isOperator(QLatin1String("*"))))
                continue;
            for (qsizetype b = q; b < after; ++b)
                blank(b);
            q = prev(after);
        }
    };
    qsizetype termFirst = next(orderBy);
    qsizetype last = -1;
    for (qsizetype k = termFirst; k >= 0 && k < end; k = next(k)) {
        if (m_tokens[k].kind == SqlToken::Comma) {
            if (termFirst >= 0 && last >= termFirst)
                resolveTerm(termFirst, last);
            termFirst = next(k);
            continue;
        }
        if (m_tokens[k].kind == SqlToken::LeftParen)
            k = matchClose(k);
        last = k;
    }
    if (termFirst >= 0 && termFirst < end && last >= termFirst)
        resolveTerm(termFirst, last);
}

void SqlRewriter::closeDayRanges(const QSet<QString>& wholeDays) {
    if (wholeDays.isEmpty())
        return;
    const auto significant = [this](qsizetype i, int step) {
        for (i += step; i >= 0 && i < qsizetype(m_tokens.size()); i += step)
            if (!m_tokens[size_t(i)].isTrivia())
                return i;
        return qsizetype(-1);
    };
    // An operator that binds tighter than a comparison makes the parameter part of a larger operand.
    const auto bindsTighter = [this](qsizetype i) {
        if (i < 0)
            return false;
        const SqlToken& t = m_tokens[size_t(i)];
        return t.kind == SqlToken::Dot ||
               (t.kind == SqlToken::Operator &&
                (t.text == QLatin1String("+") || t.text == QLatin1String("-") || t.text == QLatin1String("*") ||
                 t.text == QLatin1String("/") || t.text == QLatin1String("%") || t.text == QLatin1String("||") ||
                 t.text == QLatin1String("::")));
    };
    for (qsizetype i = 0; i < qsizetype(m_tokens.size()); ++i) {
        SqlToken& parameter = m_tokens[size_t(i)];
        if (parameter.kind != SqlToken::Parameter || !wholeDays.contains(parameter.name().toUpper()))
            continue;
        const qsizetype before = significant(i, -1);
        const qsizetype after = significant(i, +1);
        QString replacement;
        qsizetype op = -1;
        if (before >= 0 && !bindsTighter(after)) {
            // x <= :P  ->  x < :P+1      x > :P  ->  x >= :P+1
            const SqlToken& t = m_tokens[size_t(before)];
            if (t.isOperator(QLatin1String("<=")))
                op = before, replacement = QStringLiteral("<");
            else if (t.isOperator(QLatin1String(">")))
                op = before, replacement = QStringLiteral(">=");
        }
        if (op < 0 && after >= 0 && !bindsTighter(before)) {
            // :P >= x  ->  :P+1 > x      :P < x  ->  :P+1 <= x
            const SqlToken& t = m_tokens[size_t(after)];
            if (t.isOperator(QLatin1String(">=")))
                op = after, replacement = QStringLiteral(">");
            else if (t.isOperator(QLatin1String("<")))
                op = after, replacement = QStringLiteral("<=");
        }
        if (op < 0)
            continue;
        m_tokens[size_t(op)].text = replacement;
        parameter.text = QLatin1Char(':') + parameter.name() + kNextDaySuffix;
    }
}

QStringList SqlRewriter::replaceParameters(const QString& placeholder) {
    QStringList names;
    for (SqlToken& t : m_tokens) {
        if (t.kind != SqlToken::Parameter)
            continue;
        names << t.name();
        t = SqlToken{SqlToken::Operator, placeholder, -1};
    }
    return names;
}
