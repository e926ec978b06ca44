#include "app/logbook_session.h"

#include "platform/processes.h"

LogbookSession::LogbookSession()
    : link_(window_link_),
      find_process_([](const QString& exe_name) { return FindProcessId(exe_name); }) {}
