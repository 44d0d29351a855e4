#include "timesync/sync.h"

namespace tsukio {

SyncReport SetClockTo(UtcTime utc, SyncServices& services) {
  SyncReport report;
  report.time = utc;
  report.local = services.clock.ToLocal(utc);
  if (!report.local) {
    report.result = SyncSetFailed;
    report.setError = "the time has no local reading in this time zone";
    return report;
  }
  report.setError = services.setter.SetUtc(utc);
  report.result = report.setError.empty() ? SyncOk : SyncSetFailed;
  return report;
}

}  // namespace tsukio
