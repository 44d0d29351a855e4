// tsukio-cal's command line, arguments split at NUL bytes: every command line ends in 0, 1
// or 2 with no other way out. Nothing here can draw, reach the network or set the clock: the
// environment offers none of them, so the commands that would say so.
#include <sstream>
#include <streambuf>

#include "app/tsukio-cal/cal_cli.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

class FixedClock final : public tsukio::Clock {
 public:
  tsukio::LocalDateTime Now() const override {
    return {std::chrono::year{2011} / 5 / 10, 13, 5, 0};
  }
};

// Long outputs (every day of 9999 years) are right but slow; past this the run stops.
class LimitedBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (++written_ > kLimit) return traits_type::eof();
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    written_ += n;
    return written_ > kLimit ? 0 : n;
  }

 private:
  static constexpr std::streamsize kLimit = 1 << 16;
  std::streamsize written_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> args = tsukio::fuzz::SplitAtNul(data, size);
  const FixedClock clock;
  const tsukio::CalEnvironment env{clock};
  LimitedBuffer outBuffer;
  LimitedBuffer errBuffer;
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  out.exceptions(std::ios::badbit);
  err.exceptions(std::ios::badbit);
  try {
    const int code = tsukio::RunCal(args, out, err, env);
    tsukio::fuzz::Check(code >= 0 && code <= 2, "an exit code other than 0, 1 or 2");
  } catch (const std::ios_base::failure&) {
    // our own limit on the output
  }
  return 0;
}
