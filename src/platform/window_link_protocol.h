#ifndef QORVSYNC_PLATFORM_WINDOW_LINK_PROTOCOL_H_
#define QORVSYNC_PLATFORM_WINDOW_LINK_PROTOCOL_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The line protocol of the window link between this program and the logbook
// (or its double): one request line, one reply line, UTF-8, fields separated
// by TAB. Inside a field "\\", "\t", "\r" and "\n" stand for backslash, TAB,
// CR and LF, so a field never holds a raw TAB or line end. Handles and
// numbers are decimal; handle 0 means "no window".
namespace window_link {

using WindowHandle = quintptr;

inline constexpr char kFindWindow[] = "FIND_WINDOW";
inline constexpr char kFindChild[] = "FIND_CHILD";
inline constexpr char kGetCtrlId[] = "GET_CTRL_ID";
inline constexpr char kGetText[] = "GET_TEXT";
inline constexpr char kSetText[] = "SET_TEXT";
inline constexpr char kSend[] = "SEND";

// The window messages the program sends.
inline constexpr quint32 kWmLButtonDown = 513;
inline constexpr quint32 kWmLButtonUp = 514;
inline constexpr quint32 kWmCommand = 273;
// The notification code of a combo box whose selection changed.
inline constexpr quint32 kCbnSelChange = 1;

QString EscapeField(const QString& text);
// The reverse of EscapeField. A backslash before any other character, or
// alone at the end, stands for itself.
QString UnescapeField(const QString& field);

// One line: the fields escaped, joined by TAB, ended by LF, in UTF-8.
QByteArray EncodeLine(const QStringList& fields);
// Splits a line (with or without its LF or CR LF) at TAB and unescapes each
// field. An empty line gives one empty field.
QStringList DecodeLine(const QByteArray& line);

QString NumberField(qint64 value);
QString HandleField(WindowHandle handle);
// Decimal numbers; anything else reads as 0 with *ok false.
qint64 ParseNumber(const QString& field, bool* ok = nullptr);
WindowHandle ParseHandle(const QString& field, bool* ok = nullptr);

}  // namespace window_link

#endif  // QORVSYNC_PLATFORM_WINDOW_LINK_PROTOCOL_H_
