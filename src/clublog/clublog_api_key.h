#ifndef QORVSYNC_CLUBLOG_CLUBLOG_API_KEY_H_
#define QORVSYNC_CLUBLOG_CLUBLOG_API_KEY_H_

// The program's own Club Log application key, sent with every upload.
inline constexpr char kClublogApiKey[] = "d41c07ab83e6f2905b1d7c4e8a36f0b92c5e1d7a";

#endif  // QORVSYNC_CLUBLOG_CLUBLOG_API_KEY_H_
