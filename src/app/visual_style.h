#ifndef QORVSYNC_APP_VISUAL_STYLE_H_
#define QORVSYNC_APP_VISUAL_STYLE_H_

#include <QString>

class QApplication;

// The program's look: a style sheet kept among the program's resources under
// ":/styles/<name>.qss". Throws AppError when the style cannot be applied.
void ApplyVisualStyle(QApplication& app, const QString& name = QStringLiteral("Cyan Dusk"));

#endif  // QORVSYNC_APP_VISUAL_STYLE_H_
