#ifndef QORVSYNC_APP_DATE_FORMAT_H_
#define QORVSYNC_APP_DATE_FORMAT_H_

#include <QString>

#include "platform/conversions.h"

// The display format of the date boxes: the user's short date format in Qt's
// pattern language, always with a four-digit year.
QString DateBoxFormat(const RegionalSettings& settings = CurrentRegionalSettings());

#endif  // QORVSYNC_APP_DATE_FORMAT_H_
