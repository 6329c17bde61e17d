#pragma once
// IAU 2000B nutation (the 77 luni-solar terms of McCarthy & Luzum 2003, with the fixed
// offsets in lieu of the planetary terms), as ERFA's eraNut00b computes it. Each term's sine
// and cosine are built from those of the five fundamental arguments, so a call costs five
// sines and cosines instead of 77: the altitude and term searches ask for it many times a
// query. Agrees with eraNut00b to a few 1e-16 radians.

namespace vireo {

// Nutation in longitude and obliquity (radians) at a TT moment (modified Julian date).
void Nutation2000B(double ttMjd, double* dpsi, double* deps);

}  // namespace vireo
