#include "app/window_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

const QString kTahoma = QStringLiteral("Tahoma");
const QString kWineFonts = QStringLiteral("/usr/share/wine/fonts/");

}  // namespace

QList<int> LoadWindowFonts() {
  QList<int> added;
  if (QFontDatabase::families().contains(kTahoma)) return added;
  for (const QString& file : {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")}) {
    const int id = QFontDatabase::addApplicationFont(kWineFonts + file);
    if (id >= 0) added.append(id);
  }
  return added;
}

QFont WindowFont() {
  QFont font;
  font.setFamilies(
      {kTahoma, QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow")});
  font.setPointSize(8);
  return font;
}
