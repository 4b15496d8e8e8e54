#pragma once

// Dates of the modem directory as text. A modem's last communication is
// stored in the user's locale: its short date form (with a four-digit year,
// so that the century survives) followed by its time with seconds (so that
// the recent list keeps its order to the second). Reading uses the same
// form; a text in another form is tried as ISO 8601, and a text that is no
// date at all gives the earliest date, which sorts as the oldest.

#include "vbformat/VbFormat.h"

#include <QLocale>
#include <QString>

#include <string>

namespace specterm {

// The earliest date the directory can hold: 1 January 100, 00:00:00.
vb::DateTime EarliestDate();

// The present local date and time, to the second.
vb::DateTime Now();

// In the user's locale.
std::string DateToText(const vb::DateTime& date);
vb::DateTime DateFromText(const std::string& text);

// In a given locale, and the pattern used for it.
std::string DateToText(const vb::DateTime& date, const QLocale& locale);
vb::DateTime DateFromText(const std::string& text, const QLocale& locale);
QString DateTextPattern(const QLocale& locale);

bool SameDate(const vb::DateTime& a, const vb::DateTime& b);

}  // namespace specterm
