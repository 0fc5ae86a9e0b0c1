// The parameter-line parser of the load. The host hands over one free text (argument 8) holding plain
// words and at most a few SQL conditions that begin with "AND"; a condition with blanks is written between
// double quotes. The parser splits the text into tokens and keeps the conditions apart from the words.
#pragma once

#include <QString>
#include <QStringList>

// Removes leading and trailing characters up to and including the blank (U+0000..U+0020): blanks and
// every control character, as the host runtime's trim does (QString::trimmed keeps most control
// characters and drops Unicode spaces, which would give different tokens).
QString TrimControls(const QString& text);

// Parses line in place. Contract:
// - params is cleared first, then receives the plain tokens, in their order.
// - A token is a run of characters up to a blank; a token that begins with a double quote runs to the
//   next double quote and keeps its blanks; a quote without a closing quote takes the rest of the line.
// - Afterwards line holds the token that begins with "AND" (any case) and stood first, or is empty;
//   every token that begins with "AND" leaves params.
// - A line that starts with a blank gives an empty first token: the walk meets the blank before any
//   character has been collected, and the empty token is added like any other.
void ParsearLineaParametros(QString& line, QStringList& params);
