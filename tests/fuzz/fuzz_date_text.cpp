// The date-text lookups on any three texts: each either answers or says the texts are no
// date (DateTextError), nothing else escapes, and a date read from texts reads the same
// from the texts the program writes for it.
#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tsukio;
  std::vector<std::string> texts = fuzz::SplitAtNul(data, size);
  texts.resize(3);
  const std::string& year = texts[0];
  const std::string& month = texts[1];
  const std::string& day = texts[2];
  const auto tolerant = [](auto&& lookup) {
    try {
      lookup();
    } catch (const DateTextError&) {
    }
  };
  tolerant([&] { (void)LookUpHoliday(year, month, day); });
  tolerant([&] { (void)TrayDayMark(year, month, day); });
  tolerant([&] { (void)LookUpAlmanac(year, month, day); });
  tolerant([&] { (void)AlmanacText(year, month, day); });
  tolerant([&] { (void)PreviousDayText(day); });
  tolerant([&] { (void)ParseDecimal(year); });
  tolerant([&] {
    const std::chrono::year_month_day date = DateFromTexts(year, month, day);
    const DateTexts written = FormatDateTexts(date);
    fuzz::Check(DateFromTexts(written.year, written.month, written.day) == date,
                "a date does not read back from its own texts");
    const int iso = WeekNumber(date, WeekSchemeFromMethod(0));
    const int usa = WeekNumber(date, WeekSchemeFromMethod(1));
    fuzz::Check(iso >= 1 && iso <= 53 && usa >= 1 && usa <= 54, "a week number out of range");
  });
  return 0;
}
