/*=========================================================================

  Program:   Pelagrin data generator
  Module:    FishBend.h

=========================================================================*/
/**
 * The swimming bend of the fish and the deformation data that reproduces it.
 *
 * The bend keeps the head still and curls the body sideways (along model z)
 * more and more towards the tail: the centre line behind a pivot takes a
 * turning angle that grows with the square of the distance from the pivot,
 * and every cross-section turns with it, so the body keeps its thickness.
 *
 * The programs move a point p to p - A d(p), A being the amplitude (0 to
 * 10/11), with the displacement field
 *
 *   d(p) = sum over control points j within R of p of
 *            (1 - |c_j - p| / R)^2 * coef[index[j]]
 *          + coef[N] + coef[N+1] p.x + coef[N+2] p.y + coef[N+3] p.z
 *
 * where the affine part counts only when some control point lies within R.
 * FitDeformation() solves the interpolation system with its affine side
 * conditions for the coefficients that make d equal the bend at the
 * control points, so that amplitude 1 would give the full bend.
 */

#ifndef FishBend_h
#define FishBend_h

#include <array>
#include <string>
#include <vector>

namespace fishbend
{

using Point = std::array<double, 3>;

/** Deformation data as the file holds it. */
struct Deformation
{
  double Radius = 0.0;
  std::vector<Point> ControlPoints;
  std::vector<Point> Coefficients; ///< N basis rows, the constant row, the x, y and z rows
  std::vector<int> Index;          ///< coefficient row of each control point
};

/** Turning angle of the body's last cross-section (the tail tip) at full bend, radians. */
constexpr double TailAngle = 0.6;
/** Along x, the point from which the body bends; nothing moves ahead of it. */
constexpr double PivotX = -0.28;

/** The field d of the full bend: p - d(p) is where the bend takes p. */
Point BendDisplacement(const Point& p);

/** Control points: stations along the body, seven points across each. */
std::vector<Point> ControlPointLayout();

/** Support radius of the basis functions. */
double SupportRadius();

/**
 * Solve for the coefficients that reproduce BendDisplacement at the control
 * points. The coefficients are rounded to single precision, as the file
 * holds them. Returns false when the system cannot be solved accurately.
 */
bool FitDeformation(Deformation& deformation);

/** The displacement field of the deformation at p (formula above). */
Point EvaluateDisplacement(const Deformation& deformation, const Point& p);

/** Largest distance from the nearest control point over the given points. */
double FarthestFromControlPoints(const Deformation& deformation, const std::vector<Point>& points);

/** Write the deformation data file; false if the file cannot be written. */
bool WriteDeformationFile(const std::string& path, const Deformation& deformation);

/** Read a deformation data file; false if it is missing or malformed. */
bool ReadDeformationFile(const std::string& path, Deformation& deformation);

} // namespace fishbend

#endif
