#pragma once
// The OLE Automation dates the score table stores. The system library that converts them loads
// with the first date asked for; without it a new score is dated 0 and dates show blank.
#include <windows.h>

// Now, in local time (0 if the clock will not say or the conversion is missing).
double OleDateNow();

// The date as the system writes it, into text of capacity characters; empty text and false when
// it cannot be converted.
bool FormatOleDate(double date, wchar_t* text, int capacity);
