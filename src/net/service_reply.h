#ifndef QORVSYNC_NET_SERVICE_REPLY_H_
#define QORVSYNC_NET_SERVICE_REPLY_H_

#include <QString>

// The service's own words in a reply: its first line that says something once
// the markup is gone (tags, comments, the page's head, scripts and styles
// removed; the common character references decoded; blanks folded). Long
// lines are cut. Empty when the reply says nothing.
QString ReplyGist(const QString& reply_text);

// "<what happened> (HTTP <status>): "<gist>"", or without the gist when the
// reply says nothing: why a reply was not what was asked for.
QString ReplyExplanation(const QString& what_happened, int status, const QString& reply_text);

#endif  // QORVSYNC_NET_SERVICE_REPLY_H_
