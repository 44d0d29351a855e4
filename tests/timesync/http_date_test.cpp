// The HTTP date client: reading the Date value, the correction, and what counts as a value.
#include "timesync/http_date.h"

#include <gtest/gtest.h>

#include "tests/support/fake_sync.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
using testing::FakeSyncWorld;

UtcTime Utc(int y, unsigned m, unsigned d, int h, int min, int s, int ms = 0) {
  return UtcTime{chr::sys_days{chr::year{y} / m / d} + chr::hours{h} + chr::minutes{min} +
                 chr::seconds{s} + chr::milliseconds{ms}};
}

TEST(HttpDate, TheFixedWidthFormOnly) {
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), Utc(1994, 11, 6, 8, 49, 37));
  EXPECT_EQ(ParseHttpDate("Thu, 29 Feb 2024 23:59:59 GMT"), Utc(2024, 2, 29, 23, 59, 59));
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37"), Utc(1994, 11, 6, 8, 49, 37));
  // The weekday and the zone are not read: the time is taken as UTC.
  EXPECT_EQ(ParseHttpDate("Xyz, 06 Nov 1994 08:49:37 +0900"), Utc(1994, 11, 6, 8, 49, 37));
  EXPECT_EQ(ParseHttpDate("Tue, 07 Feb 2040 00:00:00 GMT"), Utc(2040, 2, 7, 0, 0, 0));

  for (const char* value : {
           "Sunday, 06-Nov-94 08:49:37 GMT",  // RFC 850
           "Sun Nov  6 08:49:37 1994",        // asctime
           "Sun, 06 nov 1994 08:49:37 GMT",   // the month table is case-sensitive
           "Sun, 06 Nov 1994 08:49:3",        // too short
           "", "x",
           "Sun, 31 Nov 1994 08:49:37 GMT",  // no such day
           "Wed, 29 Feb 1995 08:49:37 GMT", "Sun, 00 Nov 1994 08:49:37 GMT",
           "Sun, 06 Nov 1994 24:00:00 GMT", "Sun, 06 Nov 1994 08:60:37 GMT",
           "Sun, 06 Nov 1994 08:49:60 GMT", "Sun, 06 Nov 1994 8:49:37 GMT",
           "Sun, 06 Nov 19a4 08:49:37 GMT", "Sun, +6 Nov 1994 08:49:37 GMT",
           "Wed, 31 Dec 1969 23:59:59 GMT",  // before any clock of ours
       }) {
    EXPECT_FALSE(ParseHttpDate(value)) << value;
  }
}

TEST(HttpDate, CorrectionForTheTimeSinceTheValueCame) {
  EXPECT_EQ(HttpDateCorrection(1003, 1000), chr::milliseconds(3));
  EXPECT_EQ(HttpDateCorrection(3500, 1000), chr::milliseconds(2500));
  EXPECT_EQ(HttpDateCorrection(60'999, 1000), chr::milliseconds(59'999));
  EXPECT_EQ(HttpDateCorrection(61'000, 1000), chr::milliseconds(0));
  EXPECT_EQ(HttpDateCorrection(62'234, 1000), chr::milliseconds(234));  // 61,234 ms: 0.234 s
  EXPECT_EQ(HttpDateCorrection(0x00000100u, 0xFFFFFF00u), chr::milliseconds(512));  // wrapped
  EXPECT_EQ(HttpDateCorrection(1000, 2500), chr::milliseconds(-1500));              // backwards
  EXPECT_EQ(HttpDateCorrection(1000, 62'234), chr::milliseconds(-234));
  EXPECT_EQ(HttpDateCorrection(0x80000000u, 0), chr::milliseconds(-648));  // 2^31 back
}

TEST(FetchHttpDate, WhatCountsAsAValue) {
  FakeSyncWorld w;
  w.ticks.at = 77;
  w.http.during = [&] { w.ticks.at = 4242; };  // the value comes at the end of the request
  HttpDateText got = FetchHttpDate(HttpAccessMode::kDirect, "http://a.example/", "", w.services);
  EXPECT_EQ(got.text, "Tue, 10 May 2011 04:05:06 GMT");
  EXPECT_EQ(got.receiptTick, 4242u);
  EXPECT_TRUE(got.HasValue());

  w.http.date = "x";  // cannot be told from no value
  EXPECT_FALSE(FetchHttpDate(HttpAccessMode::kDirect, "http://a/", "", w.services).HasValue());
  w.http.date.reset();
  EXPECT_EQ(FetchHttpDate(HttpAccessMode::kDirect, "http://a/", "", w.services).text, "x");
}

TEST(FetchHttpDate, ModesAndRequestsThatAreNeverMade) {
  FakeSyncWorld w;
  EXPECT_FALSE(FetchHttpDate(HttpAccessMode::kDirect, "", "", w.services).HasValue());
  EXPECT_FALSE(FetchHttpDate(HttpAccessMode::kNamedProxy, "http://a/", "", w.services).HasValue());
  EXPECT_FALSE(
      FetchHttpDate(static_cast<HttpAccessMode>(3), "http://a/", "http://p:8080", w.services)
          .HasValue());
  EXPECT_TRUE(w.http.requests.empty());

  FetchHttpDate(HttpAccessMode::kPreconfigured, "http://b/", "http://p:8080", w.services);
  ASSERT_EQ(w.http.requests.size(), 1u);
  EXPECT_EQ(w.http.requests[0].proxy, "");  // only the named mode takes a proxy
}

TEST(SetClockFromHttpDate, CorrectedAndReportedInLocalTime) {
  FakeSyncWorld w;
  w.ticks.at = 1004;
  const SyncReport report = SetClockFromHttpDate("Sun, 06 Nov 1994 08:49:37 GMT", 1000, w.services);
  EXPECT_EQ(report.result, SyncOk);
  EXPECT_EQ(w.setter.asked, std::vector<UtcTime>{Utc(1994, 11, 6, 8, 49, 37, 4)});
  EXPECT_EQ(report.local, (LocalTimestamp{chr::year{1994} / 11 / 6, 17, 49, 37, 4}));

  w.ticks.at = 62'234;
  SetClockFromHttpDate("Sun, 06 Nov 1994 08:49:37 GMT", 1000, w.services);
  EXPECT_EQ(w.setter.asked.back(), Utc(1994, 11, 6, 8, 49, 37, 234));
}

TEST(SetClockFromHttpDate, NoTimeOrARefusalIsPc) {
  FakeSyncWorld w;
  EXPECT_EQ(SetClockFromHttpDate("Sunday, 06-Nov-94 08:49:37 GMT", 0, w.services).result,
            SyncSetFailed);
  EXPECT_EQ(SetClockFromHttpDate("Sun, 06 nov 1994 08:49:37 GMT", 0, w.services).result,
            SyncSetFailed);
  EXPECT_TRUE(w.setter.asked.empty());
  w.setter.refusal = "automatic time synchronization is on";
  const SyncReport refused = SetClockFromHttpDate("Sun, 06 Nov 1994 08:49:37 GMT", 0, w.services);
  EXPECT_EQ(refused.result, SyncSetFailed);
  EXPECT_EQ(refused.setError, "automatic time synchronization is on");
}

}  // namespace
}  // namespace tsukio
