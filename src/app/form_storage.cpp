#include "app/form_storage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QWidget>
#include <cmath>

#include "app/error_box.h"
#include "platform/app_error.h"
#include "platform/conversions.h"
#include "platform/ini_file.h"
#include "session/stored_options.h"

namespace {

// Window placement values as the placement routines give them: no flags, the
// show command of a normal (1), minimized (2) or maximized (3) window, and
// -1 for a minimized or maximized position never taken.
constexpr int kPlacementFlags = 0;
constexpr char kUnsetMinMaxPos[] = "-1,-1,-1,-1";

QString Bool(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

// The profile routines strip one pair of enclosing quotes when reading, so a
// text that is itself quoted gets one more pair.
QString QuotedForProfile(const QString& text) {
  if (text.size() > 1 && text.front() == text.back() &&
      (text.front() == u'"' || text.front() == u'\'')) {
    return u'"' + text + u'"';
  }
  return text;
}

QString WithScreenSize(const QString& key, const QSize& size) {
  return QStringLiteral("%1(%2x%3)").arg(key).arg(size.width()).arg(size.height());
}

// Four comma-separated integers; an item that is not a number keeps its
// default.
void SplitFour(const QString& text, int values[4]) {
  const QStringList items = text.split(u',');
  for (int i = 0; i < 4 && i < items.size(); ++i) {
    int value = 0;
    if (TryStrToInt(items[i], &value)) values[i] = value;
  }
}

AppError NotStorable(const QString& prop) {
  return AppError(FormatMessage(QStringLiteral("Field '%s' not found"), prop));
}

// The window's rectangle where it lies wholly on one of the areas; else moved
// onto the nearest area (the one it overlaps most, or the closest one),
// keeping its size.
QPoint OnNearestArea(const QRect& window, const QList<QRect>& areas) {
  const QRect* nearest = nullptr;
  qint64 best_overlap = -1;
  qint64 best_distance = 0;
  for (const QRect& area : areas) {
    if (area.contains(window)) return window.topLeft();
    const QRect overlap = area.intersected(window);
    const qint64 overlap_size = qint64(overlap.width()) * overlap.height();
    const qint64 dx = qMax(0, qMax(area.left() - window.right(), window.left() - area.right()));
    const qint64 dy = qMax(0, qMax(area.top() - window.bottom(), window.top() - area.bottom()));
    const qint64 distance = dx * dx + dy * dy;
    if (nearest == nullptr || overlap_size > best_overlap ||
        (overlap_size == best_overlap && distance < best_distance)) {
      nearest = &area;
      best_overlap = overlap_size;
      best_distance = distance;
    }
  }
  if (nearest == nullptr) return window.topLeft();
  const int left =
      qMax(nearest->left(), qMin(window.left(), nearest->right() + 1 - window.width()));
  const int top = qMax(nearest->top(), qMin(window.top(), nearest->bottom() + 1 - window.height()));
  return {left, top};
}

int IntOr(const QString& text, int fallback) {
  int value = 0;
  return TryStrToInt(text, &value) ? value : fallback;
}

}  // namespace

FormStorage::FormStorage(QWidget& form, QStringList stored_props, OperationUi& ui)
    : form_(form), stored_props_(std::move(stored_props)), ui_(ui) {}

QString FormStorage::Section() const { return form_.objectName(); }

QList<QRect> FormStorage::AvailableAreas() const {
  if (available_areas_) return available_areas_();
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.append(screen->availableGeometry());
  return areas;
}

ScreenMetrics FormStorage::Screen() const {
  if (screen_metrics_) return screen_metrics_();
  const QScreen* screen = form_.screen();
  return {screen->geometry().size(), static_cast<int>(std::lround(screen->logicalDotsPerInch()))};
}

void FormStorage::Restore() {
  RunGuarded(ui_, [this] { RestorePlacement(); });
  for (const QString& prop : stored_props_) {
    try {
      RestoreProperty(prop);
    } catch (const AppError&) {
      // A value that cannot be restored keeps the element as it is.
    }
  }
  restored_ = true;
}

void FormStorage::RestorePlacement() {
  const IniFile ini(ini_file_name_);
  const QString section = Section();
  const ScreenMetrics screen = Screen();
  // "FormVersion" and "Flags" change nothing here: every stored version is
  // restored and the minimized or maximized state is not.
  auto read_pos = [&](const QString& key) {
    QString value = ini.ReadString(section, WithScreenSize(key, screen.size));
    if (value.isEmpty()) value = ini.ReadString(section, key);
    return value;
  };
  const QString min_max_pos = read_pos(QStringLiteral("MinMaxPos"));
  const QString norm_pos = read_pos(QStringLiteral("NormPos"));
  int min_max[4] = {0, 0, 0, 0};
  SplitFour(min_max_pos, min_max);
  const QRect frame = form_.frameGeometry();
  int norm[4] = {frame.left(), frame.top(), frame.left() + frame.width(),
                 frame.top() + frame.height()};
  SplitFour(norm_pos, norm);
  const int pixels_per_inch =
      IntOr(ini.ReadString(section, QStringLiteral("PixelsPerInch")), screen.pixels_per_inch);

  if (min_max_pos.isEmpty() && norm_pos.isEmpty()) return;
  if (pixels_per_inch != screen.pixels_per_inch) return;
  // The minimized and maximized states are not restored; a fixed-size window
  // keeps its own width and height.
  const bool fixed_size = form_.minimumSize() == form_.maximumSize();
  int right = norm[2];
  int bottom = norm[3];
  if (fixed_size) {
    right = norm[0] + frame.width();
    bottom = norm[1] + frame.height();
  }
  if (norm[0] >= right) return;
  if (!fixed_size) {
    form_.resize(right - norm[0] - (frame.width() - form_.width()),
                 bottom - norm[1] - (frame.height() - form_.height()));
  }
  // A position taken on a larger or another screen must not leave the window
  // where no screen shows it.
  const QSize size = fixed_size ? frame.size() : QSize(right - norm[0], bottom - norm[1]);
  form_.move(OnNearestArea(QRect(QPoint(norm[0], norm[1]), size), AvailableAreas()));
}

void FormStorage::RestoreProperty(const QString& prop) {
  const QString element_name = prop.section(u'.', 0, 0);
  const QString property = prop.section(u'.', 1);
  const QString key = StoredOptionKey(prop);
  QWidget* element = form_.findChild<QWidget*>(element_name);
  if (element == nullptr) throw NotStorable(prop);
  const QString value =
      TrimControl(IniFile(ini_file_name_).ReadString(Section(), key, ReadProperty(prop)));

  if (property == QLatin1String("Checked")) {
    auto* box = qobject_cast<QAbstractButton*>(element);
    if (box == nullptr) throw NotStorable(prop);
    if (const std::optional<bool> checked = StoredChecked(value)) box->setChecked(*checked);
  } else if (property == QLatin1String("Text")) {
    if (auto* edit = qobject_cast<QLineEdit*>(element)) {
      edit->setText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(element)) {
      combo->setCurrentText(value);
    } else {
      throw NotStorable(prop);
    }
  } else if (property == QLatin1String("ActivePage")) {
    auto* pages = qobject_cast<QTabWidget*>(element);
    if (pages == nullptr) throw NotStorable(prop);
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->widget(i)->objectName().compare(value, Qt::CaseInsensitive) == 0) {
        pages->setCurrentIndex(i);
      }
    }
  } else {
    throw NotStorable(prop);
  }
}

QString FormStorage::ReadProperty(const QString& prop) const {
  const QString element_name = prop.section(u'.', 0, 0);
  const QString property = prop.section(u'.', 1);
  const QWidget* element = form_.findChild<QWidget*>(element_name);
  if (property == QLatin1String("Checked")) {
    if (auto* box = qobject_cast<const QAbstractButton*>(element)) return Bool(box->isChecked());
  } else if (property == QLatin1String("Text")) {
    if (auto* edit = qobject_cast<const QLineEdit*>(element)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(element)) return combo->currentText();
  } else if (property == QLatin1String("ActivePage")) {
    auto* pages = qobject_cast<const QTabWidget*>(element);
    if (pages != nullptr && pages->currentWidget() != nullptr) {
      return pages->currentWidget()->objectName();
    }
  }
  throw NotStorable(prop);
}

void FormStorage::SaveAtClose() {
  if (!restored_) return;
  Save(false);
}

void FormStorage::SaveOnDestroy() {
  if (saved_ || !restored_) return;
  Save(true);
}

void FormStorage::Save(bool visible) {
  RunGuarded(ui_, [&] {
    IniFile ini(ini_file_name_);
    ini.SetOwnerOnly(true);
    const QString section = Section();
    const ScreenMetrics screen = Screen();
    const QRect frame = form_.frameGeometry();
    int show_cmd = 1;
    if (form_.isMinimized())
      show_cmd = 2;
    else if (form_.isMaximized())
      show_cmd = 3;
    const QString norm_pos = QStringLiteral("%1,%2,%3,%4")
                                 .arg(frame.left())
                                 .arg(frame.top())
                                 .arg(frame.left() + frame.width())
                                 .arg(frame.top() + frame.height());

    // One write of the file: a save does not wait for the disk once per key.
    QList<std::pair<QString, QString>> values = {
        {QStringLiteral("FormVersion"), QStringLiteral("0")},
        {QStringLiteral("Flags"), QString::number(kPlacementFlags)},
        {QStringLiteral("ShowCmd"), QString::number(show_cmd)},
        {QStringLiteral("PixelsPerInch"), QString::number(screen.pixels_per_inch)}};
    for (const QString& key : {QStringLiteral("MinMaxPos"), QStringLiteral("NormPos")}) {
      const QString value =
          key == QLatin1String("NormPos") ? norm_pos : QLatin1String(kUnsetMinMaxPos);
      values.append({WithScreenSize(key, screen.size), value});
      values.append({key, value});
    }
    values.append({QStringLiteral("Visible"), visible ? QStringLiteral("1") : QStringLiteral("0")});
    for (const QString& prop : stored_props_) {
      values.append({StoredOptionKey(prop), QuotedForProfile(TrimControl(ReadProperty(prop)))});
    }
    ini.WriteStrings(section, values);
    // The file holds the Club Log password: its owner alone may read it, also
    // when it existed before.
    QFile::setPermissions(ini.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  });
  saved_ = true;
}
