#ifndef QORVSYNC_APP_WINDOW_FONT_H_
#define QORVSYNC_APP_WINDOW_FONT_H_

#include <QFont>
#include <QList>

// The windows' font: Tahoma, 8 point. Debian's fonts-wine installs Tahoma
// in a folder the system's font configuration does not search, so the
// program adds it from there when the system does not know Tahoma. Returns
// the ids of the fonts it added (none when Tahoma was known or is missing).
QList<int> LoadWindowFonts();

// Tahoma 8 pt; where Tahoma is missing, a condensed face of about its width,
// so that every caption still fits its element.
QFont WindowFont();

#endif  // QORVSYNC_APP_WINDOW_FONT_H_
