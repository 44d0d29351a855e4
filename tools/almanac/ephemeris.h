#pragma once

// Where the Sun and the Moon appear from the centre of the Earth, and when they get there.
// The positions come from libnova (VSOP87 for the Sun, ELP 2000-82B for the Moon). Instants
// are Julian dates in Universal Time, the time civil clocks keep; the series themselves run
// on Terrestrial Time, and ΔT (DeltaTSeconds, by the Espenak-Meeus polynomials) converts between
// the two.

namespace tsukio::almanac {

// TT − UT in seconds at the given UT Julian date.
double DeltaTSeconds(double jdUt);

// Apparent geocentric ecliptic longitudes in degrees [0, 360), referred to the true equinox
// of date: nutation and aberration (the Moon's light time) included.
double SunApparentLongitude(double jdUt);
double MoonApparentLongitude(double jdUt);

// The instant, nearest to `jdUtNear`, at which the Sun's apparent longitude is `degrees`.
// `jdUtNear` must be within a few weeks of it.
double SolarLongitudeInstant(double degrees, double jdUtNear);

// The new moon (the Sun's and the Moon's apparent longitudes equal) nearest to `jdUtNear`,
// which must be within about ten days of it.
double NewMoonInstant(double jdUtNear);

// The instant, nearest to `jdUtNear` (within about five days of it), at which the Moon stands
// `degrees` east of the Sun in apparent longitude: 90° 上弦, 180° 望 (full), 270° 下弦. Good to
// about a second, enough to date it; the new moons, whose instants the table keeps, get the
// finer search of NewMoonInstant.
double MoonPhaseInstant(double degrees, double jdUtNear);

}  // namespace tsukio::almanac
