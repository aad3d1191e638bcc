// Desktop notifications (the freedesktop notification service on the session bus), for news
// the user should get while working in another window. Where no session bus or no notification
// service runs, nothing happens; nothing ever waits for the service's answer. Window thread.
#pragma once

#include <QString>

namespace brenvale {

void NotifyDesktop(const QString& summary, const QString& body);

}  // namespace brenvale
