// The one clock of the program: the local date and time as the date-time
// value of templates, scripts and the engine, days since 30.12.1899 with the
// time of day as the fraction.
#pragma once

namespace zentavo {

double NowAsDateTime();

// The date-time value of a local calendar date and time of day.
double DateTimeOf(int year, int month, int day, int hour, int minute, int second, int millisecond);

}  // namespace zentavo
