// The regional settings of the user, read once at start-up, and the date picker's display
// format derived from them.
#pragma once

#include <QLocale>
#include <QString>

#include "base/format_settings.h"

// Short date format, date separator, long time format, time separator, AM/PM designators and
// decimal separator of `locale`, in the Windows-style notation of FormatSettings.
FormatSettings FormatSettingsFromLocale(const QLocale& locale);

// The settings of QLocale::system().
FormatSettings ReadSystemFormatSettings();

// The short date format of `fs` as a display format of the toolkit's date editors.
QString QtShortDateFormat(const FormatSettings& fs);
