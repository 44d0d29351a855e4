#include "tools/almanac/ephemeris.h"

#include <libnova/ln_types.h>
#include <libnova/lunar.h>
#include <libnova/nutation.h>
#include <libnova/solar.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

// libnova 0.16, as its sources and Meeus' worked examples show:
// - ln_get_solar_geom_coords (VSOP87, FK5) and ln_get_lunar_geo_posn (ELP 2000-82B) take a
//   Julian Ephemeris Day, i.e. TT, and give positions on the mean ecliptic and equinox of
//   J2000, not of date.
// - ln_get_solar_ecl_coords adds nutation of date to that J2000 longitude, which makes it
//   neither frame (off by the precession since 2000, 50″ a year), so it is not used here.
// - ln_get_nutation takes UT and applies libnova's own ΔT to it. Nutation moves by less than
//   0.0001″ in the minute by which that ΔT can differ from ours, so that is left as it is.
// - libnova's ΔT (ln_get_dynamical_time_diff) is not used: it runs 50-70 s high after 2010.
namespace tsukio::almanac {

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kLightKmPerDay = 299792.458 * kSecondsPerDay;

// libnova drops the lunar series' terms smaller than this many radians. At 1e-7 rad the
// longitude is off by up to 0.4″, under a second of time: good enough to close in. The final
// steps use 1e-9 rad; over 1900-2100 that moves no new moon by more than 0.1 s from the full
// series, which costs five times as much.
constexpr double kMoonSearchPrecision = 1e-7;
constexpr double kMoonFinalPrecision = 1e-9;

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}
double Degrees(double radians) {
  return radians * 180.0 / std::numbers::pi;
}

double Wrap360(double degrees) {
  const double wrapped = std::fmod(degrees, 360.0);
  return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

double Wrap180(double degrees) {
  const double wrapped = Wrap360(degrees);
  return wrapped >= 180.0 ? wrapped - 360.0 : wrapped;
}

double Terrestrial(double jdUt) {
  return jdUt + DeltaTSeconds(jdUt) / kSecondsPerDay;
}

struct Ecliptic {
  double longitude;  // degrees
  double latitude;
};

// libnova gives both bodies on the mean ecliptic and equinox of J2000, but the calendar counts
// longitude from the equinox of date, some 1.4° further on per century. This is the rigorous
// ecliptic precession of the IAU 1976 theory (Lieske), the form Meeus gives in "Astronomical
// Algorithms" ch. 21; it also tilts the ecliptic, which matters for the Moon's latitude.
Ecliptic PrecessFromJ2000(Ecliptic mean, double jdTt) {
  const double t = (jdTt - kJ2000) / 36525.0;
  const double eta = Radians((47.0029 * t - 0.03302 * t * t + 0.000060 * t * t * t) / 3600.0);
  const double node = Radians(174.876384 + (-869.8089 * t + 0.03536 * t * t) / 3600.0);
  const double p = (5029.0966 * t + 1.11113 * t * t - 0.000006 * t * t * t) / 3600.0;
  const double lng = Radians(mean.longitude);
  const double lat = Radians(mean.latitude);
  const double a =
      std::cos(eta) * std::cos(lat) * std::sin(node - lng) - std::sin(eta) * std::sin(lat);
  const double b = std::cos(lat) * std::cos(node - lng);
  const double c =
      std::cos(eta) * std::sin(lat) + std::sin(eta) * std::cos(lat) * std::sin(node - lng);
  return {Wrap360(p + Degrees(node) - Degrees(std::atan2(a, b))), Degrees(std::asin(c))};
}

// Nutation in longitude, in degrees. libnova's nutation takes a UT date and applies ΔT itself.
double NutationInLongitude(double jdUt) {
  ln_nutation nutation;
  ln_get_nutation(jdUt, &nutation);
  return nutation.longitude;
}

double MoonLongitude(double jdUt, double precision) {
  // What we see is where the Moon was when the light left it, about 1.3 s earlier. Evaluate
  // the series at the mean distance's light time and correct for the actual distance with
  // the Moon's mean motion; the remaining error is far below a millisecond of arc.
  constexpr double kMeanDistanceKm = 385000.6;
  constexpr double kMeanMotion = 13.176358;  // degrees per day
  constexpr double kMeanLightTime = kMeanDistanceKm / kLightKmPerDay;
  const double jdTt = Terrestrial(jdUt);
  ln_rect_posn moon;
  ln_get_lunar_geo_posn(jdTt - kMeanLightTime, &moon, precision);
  const double planar = std::hypot(moon.X, moon.Y);
  const double lightTime = std::hypot(planar, moon.Z) / kLightKmPerDay;
  const Ecliptic ofDate = PrecessFromJ2000(
      {Degrees(std::atan2(moon.Y, moon.X)), Degrees(std::atan2(moon.Z, planar))}, jdTt);
  return Wrap360(ofDate.longitude + NutationInLongitude(jdUt) -
                 (lightTime - kMeanLightTime) * kMeanMotion);
}

// The root of `f` (an angle difference in degrees, wrapped to ±180°) near `guess`, by the
// secant method; `rate` is f's usual speed in degrees per day, for the first step.
template <class F>
double FindRoot(F f, double guess, double rate, double toleranceDays) {
  double x0 = guess;
  double f0 = f(x0);
  double x1 = x0 - f0 / rate;
  for (int i = 0; i < 50; ++i) {
    const double f1 = f(x1);
    if (f1 == f0) return x1;
    const double x2 = x1 - f1 * (x1 - x0) / (f1 - f0);
    if (std::abs(x2 - x1) < toleranceDays) return x2;
    x0 = x1;
    f0 = f1;
    x1 = x2;
  }
  throw std::runtime_error("almanac: the search for an instant does not converge");
}

// The secant steps shrink superlinearly, so by the time a step is under 0.09 s the estimate it
// gives is good to a few milliseconds; a tighter tolerance only costs lunar series evaluations.
constexpr double kTolerance = 1e-6;  // days

}  // namespace

// Espenak and Meeus, "Five Millennium Canon of Solar Eclipses" (NASA/TP-2006-214141), the
// polynomials NASA's eclipse pages publish for -1999 to +3000, with y the decimal year. Past
// 2005 they extrapolate: about 2 s above the measured ΔT in 2020, more after.
double DeltaTSeconds(double jdUt) {
  const double y = 2000.0 + (jdUt - kJ2000) / 365.25;
  const auto parabola = [](double year) {
    const double u = (year - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u;
  };
  if (y < -500.0) return parabola(y);
  if (y < 500.0) {
    const double u = y / 100.0;
    return 10583.6 +
           u * (-1014.41 +
                u * (33.78311 +
                     u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
  }
  if (y < 1600.0) {
    const double u = (y - 1000.0) / 100.0;
    return 1574.2 +
           u * (-556.01 +
                u * (71.23472 +
                     u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
  }
  if (y < 1700.0) {
    const double t = y - 1600.0;
    return 120.0 + t * (-0.9808 + t * (-0.01532 + t / 7129.0));
  }
  if (y < 1800.0) {
    const double t = y - 1700.0;
    return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000.0)));
  }
  if (y < 1860.0) {
    const double t = y - 1800.0;
    return 13.72 +
           t * (-0.332447 +
                t * (0.0068612 +
                     t * (0.0041116 +
                          t * (-0.00037436 +
                               t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
  }
  if (y < 1900.0) {
    const double t = y - 1860.0;
    return 7.62 +
           t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174.0))));
  }
  if (y < 1920.0) {
    const double t = y - 1900.0;
    return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
  }
  if (y < 1941.0) {
    const double t = y - 1920.0;
    return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
  }
  if (y < 1961.0) {
    const double t = y - 1950.0;
    return 29.07 + t * (0.407 + t * (-1.0 / 233.0 + t / 2547.0));
  }
  if (y < 1986.0) {
    const double t = y - 1975.0;
    return 45.45 + t * (1.067 + t * (-1.0 / 260.0 - t / 718.0));
  }
  if (y < 2005.0) {
    const double t = y - 2000.0;
    return 63.86 +
           t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
  }
  if (y < 2050.0) {
    const double t = y - 2000.0;
    return 62.92 + t * (0.32217 + t * 0.005589);
  }
  if (y < 2150.0) return parabola(y) - 0.5628 * (2150.0 - y);
  return parabola(y);
}

double SunApparentLongitude(double jdUt) {
  const double jdTt = Terrestrial(jdUt);
  ln_helio_posn sun;  // geocentric, despite the type's name
  ln_get_solar_geom_coords(jdTt, &sun);
  const Ecliptic ofDate = PrecessFromJ2000({sun.L, sun.B}, jdTt);
  // Annual aberration: the constant of aberration over the distance in AU.
  return Wrap360(ofDate.longitude + NutationInLongitude(jdUt) - 20.4898 / 3600.0 / sun.R);
}

double MoonApparentLongitude(double jdUt) {
  return MoonLongitude(jdUt, kMoonFinalPrecision);
}

double SolarLongitudeInstant(double degrees, double jdUtNear) {
  return FindRoot([&](double jd) { return Wrap180(SunApparentLongitude(jd) - degrees); }, jdUtNear,
                  0.9856, kTolerance);
}

namespace {

constexpr double kSynodicRate = 12.190749;  // degrees per day

auto ElongationFrom(double degrees, double precision) {
  return [degrees, precision](double jd) {
    return Wrap180(MoonLongitude(jd, precision) - SunApparentLongitude(jd) - degrees);
  };
}

}  // namespace

double NewMoonInstant(double jdUtNear) {
  const double rough =
      FindRoot(ElongationFrom(0, kMoonSearchPrecision), jdUtNear, kSynodicRate, 1e-5);
  return FindRoot(ElongationFrom(0, kMoonFinalPrecision), rough, kSynodicRate, kTolerance);
}

double MoonPhaseInstant(double degrees, double jdUtNear) {
  return FindRoot(ElongationFrom(degrees, kMoonSearchPrecision), jdUtNear, kSynodicRate, 1e-5);
}

}  // namespace tsukio::almanac
