#include "platform/qt/qt_resume.h"

#include <QDBusConnection>

namespace tsukio {

ResumeWatcher::ResumeWatcher(std::function<void()> resumed) : resumed_(std::move(resumed)) {
  QDBusConnection::systemBus().connect(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
      SLOT(PrepareForSleep(bool)));
}

void ResumeWatcher::PrepareForSleep(bool sleeping) {
  if (!sleeping) resumed_();
}

}  // namespace tsukio
