// Calendar arithmetic and fixed-length text routines shared by the builders and the form.
//
// Dates are TDateTime values (days since 30 December 1899). The month arithmetic never fails on short
// months: a day that does not exist in the target month is pulled back to the month's last day, so one
// month after 31 January is the last day of February and one year before 29 February is 28 February.
// None of the routines keeps state.
#pragma once

#include "TDateTime.h"

#include <QString>

// Adds amount units to date. Units (case-insensitive): "A"/"Y" years, "M" months, "D" days, "S" weeks.
// With addOneDay the date is first moved one day forward. Years and months return a date without time of
// day; days and weeks keep it. Any other unit raises "Unidad de Tiempo inválida para la función SumaAFecha".
TDateTime SumaAFecha(int amount, const QString& unit, TDateTime date, bool addOneDay);

// The date (year, month, day) after carrying a month outside 1..12 into the year (month 13 is January of
// the next year, month 0 December of the previous one) and pulling days 29-31 back inside February and
// day 31 back inside 30-day months. Raises GeneralError for a day that is still impossible (0, 32...).
TDateTime AjustarFecha(int year, int month, int day);

// Gregorian leap year: divisible by 4, except centuries not divisible by 400.
bool EsBisiesto(int year);

TDateTime PrimerDiaDelMes(TDateTime date);
TDateTime UltimoDiaDelMes(TDateTime date);
int AnoDeFecha(TDateTime date);
int MesDeFecha(TDateTime date);

// Commercial 30-day month: day 31 becomes 30; the last day of February (28, or 29 in a leap year) becomes 30.
void AjustarDia30(int year, int month, int& day);

// Days between two dates. Mode "A" (calendar): absolute whole days plus one, both ends counted. Mode "C"
// (360-day commercial year, 30-day months). Any other mode: 0. Only the first character of mode counts.
int DiasEntreFechas(const QString& mode, TDateTime start, TDateTime end);

// Pads or cuts text to length characters. Shorter text: padSide "D" puts the fill characters before the
// text (right-aligned), "I" after it. Longer text: cutSide "D" keeps the first characters, "I" the last
// ones. An unrecognised side letter gives an empty text.
QString AjustarLongitud(int length, const QString& text, const QString& cutSide, QChar fill,
                        const QString& padSide);

// For programs, at start: without TZ in the environment the C library looks at /etc/localtime again on
// every local-time conversion, which is one file-system call per date read from the database. Naming that
// file in TZ, when TZ is not set, gives the same zone and lets the library read it once.
void FijarZonaHorariaLocal();
