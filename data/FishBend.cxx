/*=========================================================================

  Program:   Pelagrin data generator
  Module:    FishBend.cxx

=========================================================================*/
#include "FishBend.h"

#include "FishMesh.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace fishbend
{
namespace
{

constexpr double BendLength = fishmodel::TailTipX - PivotX;

double TurningAngle(double arc)
{
  const double f = arc / BendLength;
  return TailAngle * f * f;
}

// Position of the bent centre line at the given arc length behind the pivot,
// relative to the pivot: the integral of (cos, sin) of the turning angle.
void BentCentreLine(double arc, double& along, double& across)
{
  constexpr int Steps = 64; // Simpson's rule; the integrand is smooth
  const double h = arc / Steps;
  along = 0.0;
  across = 0.0;
  for (int i = 0; i <= Steps; ++i)
  {
    const double weight = (i == 0 || i == Steps) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
    const double angle = TurningAngle(i * h);
    along += weight * std::cos(angle);
    across += weight * std::sin(angle);
  }
  along *= h / 3.0;
  across *= h / 3.0;
}

double Distance(const Point& a, const Point& b)
{
  return std::sqrt(
    (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

double BasisWeight(double r, double radius)
{
  const double f = 1.0 - r / radius;
  return f * f;
}

// Stations along the body from the snout to the tail tip; at each, points
// across the body wide enough apart to hold the fins' tips, so that the
// whole section moves together.
constexpr int Stations = 13;
constexpr double StationOffsetsY[] = { 0.12, 0.24 };
constexpr double StationOffsetZ = 0.14;
constexpr double Radius = 0.5;

} // namespace

Point BendDisplacement(const Point& p)
{
  const double arc = p[0] - PivotX;
  if (arc <= 0.0)
  {
    return { 0.0, 0.0, 0.0 };
  }
  double along = 0.0;
  double across = 0.0;
  BentCentreLine(arc, along, across);
  // The cross-section turns with the centre line about the model's y axis.
  const double angle = TurningAngle(arc);
  const double offset = p[2] - fishmodel::CentreZ;
  const double bentX = PivotX + along - offset * std::sin(angle);
  const double bentZ = fishmodel::CentreZ + across + offset * std::cos(angle);
  return { p[0] - bentX, 0.0, p[2] - bentZ };
}

std::vector<Point> ControlPointLayout()
{
  std::vector<Point> points;
  for (int k = 0; k < Stations; ++k)
  {
    const double x =
      fishmodel::SnoutX + (fishmodel::TailTipX - fishmodel::SnoutX) * k / (Stations - 1);
    const double y = fishmodel::CentreY;
    const double z = fishmodel::CentreZ;
    points.push_back({ x, y, z });
    for (double offset : StationOffsetsY)
    {
      points.push_back({ x, y + offset, z });
      points.push_back({ x, y - offset, z });
    }
    points.push_back({ x, y, z + StationOffsetZ });
    points.push_back({ x, y, z - StationOffsetZ });
  }
  return points;
}

double SupportRadius()
{
  return Radius;
}

bool FitDeformation(Deformation& deformation)
{
  deformation.Radius = static_cast<float>(SupportRadius());
  deformation.ControlPoints = ControlPointLayout();
  // The file holds single-precision control points: fit to those.
  for (Point& c : deformation.ControlPoints)
  {
    for (double& v : c)
    {
      v = static_cast<float>(v);
    }
  }
  const std::vector<Point>& c = deformation.ControlPoints;
  const int n = static_cast<int>(c.size());

  // [ Phi  P ] [ weights ]   [ targets ]
  // [ P^T  0 ] [ affine  ] = [    0    ]
  // with Phi(i, j) = w(|c_i - c_j|) and P(i) = (1, x_i, y_i, z_i).
  Eigen::MatrixXd system = Eigen::MatrixXd::Zero(n + 4, n + 4);
  Eigen::MatrixXd targets = Eigen::MatrixXd::Zero(n + 4, 3);
  for (int i = 0; i < n; ++i)
  {
    for (int j = 0; j < n; ++j)
    {
      const double r = Distance(c[i], c[j]);
      system(i, j) = r <= deformation.Radius ? BasisWeight(r, deformation.Radius) : 0.0;
    }
    const double affine[4] = { 1.0, c[i][0], c[i][1], c[i][2] };
    for (int k = 0; k < 4; ++k)
    {
      system(i, n + k) = affine[k];
      system(n + k, i) = affine[k];
    }
    const Point target = BendDisplacement(c[i]);
    for (int k = 0; k < 3; ++k)
    {
      targets(i, k) = target[k];
    }
  }

  const Eigen::FullPivLU<Eigen::MatrixXd> lu(system);
  if (!lu.isInvertible())
  {
    return false;
  }
  const Eigen::MatrixXd solution = lu.solve(targets);
  const double residual = (system * solution - targets).norm();
  if (!(residual <= 1e-9 * std::max(1.0, targets.norm())))
  {
    return false;
  }

  deformation.Coefficients.assign(static_cast<size_t>(n + 4), Point{});
  for (int row = 0; row < n + 4; ++row)
  {
    for (int k = 0; k < 3; ++k)
    {
      deformation.Coefficients[row][k] = static_cast<float>(solution(row, k));
    }
  }
  deformation.Index.resize(static_cast<size_t>(n));
  for (int j = 0; j < n; ++j)
  {
    deformation.Index[j] = j;
  }
  return true;
}

Point EvaluateDisplacement(const Deformation& deformation, const Point& p)
{
  const size_t n = deformation.ControlPoints.size();
  Point d{ 0.0, 0.0, 0.0 };
  bool near = false;
  for (size_t j = 0; j < n; ++j)
  {
    const double r = Distance(deformation.ControlPoints[j], p);
    if (r > deformation.Radius)
    {
      continue;
    }
    near = true;
    const double w = BasisWeight(r, deformation.Radius);
    const Point& row = deformation.Coefficients[static_cast<size_t>(deformation.Index[j])];
    for (int k = 0; k < 3; ++k)
    {
      d[k] += w * row[k];
    }
  }
  if (!near)
  {
    return d;
  }
  for (int k = 0; k < 3; ++k)
  {
    d[k] += deformation.Coefficients[n][k] + deformation.Coefficients[n + 1][k] * p[0] +
      deformation.Coefficients[n + 2][k] * p[1] + deformation.Coefficients[n + 3][k] * p[2];
  }
  return d;
}

double FarthestFromControlPoints(const Deformation& deformation, const std::vector<Point>& points)
{
  double farthest = 0.0;
  for (const Point& p : points)
  {
    double nearest = std::numeric_limits<double>::infinity();
    for (const Point& c : deformation.ControlPoints)
    {
      nearest = std::min(nearest, Distance(c, p));
    }
    farthest = std::max(farthest, nearest);
  }
  return farthest;
}

bool WriteDeformationFile(const std::string& path, const Deformation& deformation)
{
  FILE* file = std::fopen(path.c_str(), "w");
  if (!file)
  {
    return false;
  }
  // %.9g prints every single-precision value so that it reads back exactly.
  auto real = [](double v) { return static_cast<double>(static_cast<float>(v)); };
  std::fprintf(file, "[%.9g]\n", real(deformation.Radius));
  std::fprintf(file, "[%d]\n", static_cast<int>(deformation.ControlPoints.size()));
  for (const Point& c : deformation.ControlPoints)
  {
    std::fprintf(file, "%.9g %.9g %.9g\n", real(c[0]), real(c[1]), real(c[2]));
  }
  std::fprintf(file, "[%d]\n", static_cast<int>(deformation.Coefficients.size()));
  for (const Point& row : deformation.Coefficients)
  {
    std::fprintf(file, "%.9g %.9g %.9g\n", real(row[0]), real(row[1]), real(row[2]));
  }
  std::fprintf(file, "[%d]\n", static_cast<int>(deformation.Index.size()));
  for (int index : deformation.Index)
  {
    std::fprintf(file, "%d\n", index);
  }
  const bool written = !std::ferror(file);
  return std::fclose(file) == 0 && written;
}

bool ReadDeformationFile(const std::string& path, Deformation& deformation)
{
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file)
  {
    return false;
  }
  auto readPoints = [file](int count, std::vector<Point>& points)
  {
    points.clear();
    for (int i = 0; i < count; ++i)
    {
      float x = 0.0f;
      float y = 0.0f;
      float z = 0.0f;
      if (std::fscanf(file, "%f %f %f\n", &x, &y, &z) != 3)
      {
        return false;
      }
      points.push_back({ x, y, z });
    }
    return true;
  };
  float radius = 0.0f;
  int n = 0;
  int m = 0;
  int k = 0;
  bool ok = std::fscanf(file, "[%f]\n", &radius) == 1 && std::fscanf(file, "[%d]\n", &n) == 1 &&
    n >= 0 && n < 100000 && readPoints(n, deformation.ControlPoints) &&
    std::fscanf(file, "[%d]\n", &m) == 1 && m == n + 4 && readPoints(m, deformation.Coefficients) &&
    std::fscanf(file, "[%d]\n", &k) == 1 && k == n;
  deformation.Index.clear();
  for (int i = 0; ok && i < k; ++i)
  {
    int index = 0;
    ok = std::fscanf(file, "%d\n", &index) == 1 && index >= 0 && index < n;
    deformation.Index.push_back(index);
  }
  deformation.Radius = radius;
  std::fclose(file);
  return ok && radius > 0.0f;
}

} // namespace fishbend
