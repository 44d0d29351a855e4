// Every date lookup on whatever date three numbers name: a day of years 1 to 9999 gets an
// answer from each and nothing escapes; numbers that name no day are refused as such.
#include <charconv>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/koyomi.h"
#include "calendar/weeks.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tsukio;
  namespace chr = std::chrono;
  std::vector<std::string> texts = fuzz::SplitAtNul(data, size);
  texts.resize(3);
  int numbers[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const std::string& text = texts[static_cast<std::size_t>(i)];
    std::from_chars(text.data(), text.data() + text.size(), numbers[i]);
  }
  chr::year_month_day date;
  try {
    date = MakeDate(numbers[0], numbers[1], numbers[2]);
  } catch (const DateTextError&) {
    return 0;
  }
  const DayMark mark = TrayDayMark(date);
  fuzz::Check(
      mark.IsHoliday() == LookUpHoliday(date).IsHoliday() || mark.name == kSubstituteHolidayName,
      "the tray names a holiday the lookup does not");
  const int iso = WeekNumber(date, WeekScheme::kIso);
  const int usa = WeekNumber(date, WeekScheme::kUsa);
  fuzz::Check(iso >= 1 && iso <= 53 && usa >= 1 && usa <= 54, "a week number out of range");
  (void)BuildDateTip(date, mark.name, iso, AlmanacText(date) + KoyomiTipText(date));
  const bool inTable = date >= chr::year{1900} / 1 / 1 && date <= chr::year{2100} / 12 / 31;
  fuzz::Check(LookUpKoyomi(date).has_value() == inTable, "the almanac guesses outside its years");
  fuzz::Check(KoyomiLine(date).has_value() == inTable, "a koyomi line outside its years");
  return 0;
}
