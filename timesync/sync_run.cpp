#include "timesync/sync_run.h"

#include "timesync/http_date.h"
#include "timesync/sntp.h"

namespace tsukio {

bool SyncConfigured(const SyncSettings& settings) {
  return settings.ntpSetup == 1 || settings.httpSetup >= 1;
}

SyncReport SynchronizeClock(const SyncSettings& settings, SyncServices& services) {
  HttpDateText date;
  switch (settings.httpSetup) {
    case 0:
      return SyncClockNtp(settings.ntpServer, services);
    case 1:
      date = FetchHttpDate(HttpAccessMode::kDirect, settings.httpServer, {}, services);
      break;
    case 2:
      date = FetchHttpDate(HttpAccessMode::kNamedProxy, settings.httpServer, settings.proxyServer,
                           services);
      break;
    case 3:
      date = FetchHttpDate(HttpAccessMode::kPreconfigured, settings.httpServer, {}, services);
      break;
    default:
      return SyncReport{};
  }
  if (!date.HasValue()) return SyncReport{};
  return SetClockFromHttpDate(date.text, date.receiptTick, services);
}

}  // namespace tsukio
