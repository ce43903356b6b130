#pragma once
// What the parts of the libcurl FTP client share: results made from a
// status and a message, and which failures end a session. Only the
// client's own source files include this.
#include "platform/ftp/ftpclient.h"

namespace ftp::detail {

Result makeResult(Status status, const QString& message);

// Failures after which the control connection can't be trusted any more.
bool breaksSession(Status s);

} // namespace ftp::detail
