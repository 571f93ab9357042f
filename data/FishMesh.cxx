/*=========================================================================

  Program:   Pelagrin data generator
  Module:    FishMesh.cxx

=========================================================================*/
#include "FishMesh.h"

#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkFloatArray.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace fishmodel
{
namespace
{

constexpr double Pi = 3.14159265358979323846;

struct Vec3
{
  double X = 0.0;
  double Y = 0.0;
  double Z = 0.0;
};

Vec3 operator+(const Vec3& a, const Vec3& b)
{
  return { a.X + b.X, a.Y + b.Y, a.Z + b.Z };
}

Vec3 operator-(const Vec3& a, const Vec3& b)
{
  return { a.X - b.X, a.Y - b.Y, a.Z - b.Z };
}

Vec3 operator*(const Vec3& a, double f)
{
  return { a.X * f, a.Y * f, a.Z * f };
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
  return { a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X };
}

double Dot(const Vec3& a, const Vec3& b)
{
  return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

Vec3 Normalised(const Vec3& a)
{
  return a * (1.0 / std::sqrt(Dot(a, a)));
}

double Lerp(double a, double b, double f)
{
  return a + (b - a) * f;
}

// Collects points, triangles and their scalars.
class MeshBuilder
{
public:
  MeshBuilder()
  {
    this->Points = vtkSmartPointer<vtkPoints>::New();
    this->Points->SetDataTypeToFloat();
    this->Triangles = vtkSmartPointer<vtkCellArray>::New();
    this->Scalars = vtkSmartPointer<vtkFloatArray>::New();
    this->Scalars->SetName(ScalarName);
  }

  vtkIdType AddPoint(const Vec3& p) { return this->Points->InsertNextPoint(p.X, p.Y, p.Z); }

  void AddTriangle(vtkIdType a, vtkIdType b, vtkIdType c, float scalar)
  {
    const vtkIdType ids[3] = { a, b, c };
    this->Triangles->InsertNextCell(3, ids);
    this->Scalars->InsertNextValue(scalar);
  }

  vtkSmartPointer<vtkPolyData> Finish()
  {
    auto mesh = vtkSmartPointer<vtkPolyData>::New();
    mesh->SetPoints(this->Points);
    mesh->SetPolys(this->Triangles);
    mesh->GetCellData()->SetScalars(this->Scalars);
    return mesh;
  }

private:
  vtkSmartPointer<vtkPoints> Points;
  vtkSmartPointer<vtkCellArray> Triangles;
  vtkSmartPointer<vtkFloatArray> Scalars;
};

// ---------------------------------------------------------------------------
// Body

// Side outline of the body (dorsal and ventral edge) and its half width, at
// stations along x; the body is a superellipse section through these.
struct Station
{
  double X;
  double Top;
  double Bottom;
  double HalfWidth;
};

const Station BodyStations[] = {
  { SnoutX, 0.000, 0.000, 0.000 },
  { -0.511, 0.016, -0.014, 0.012 },
  { -0.500, 0.032, -0.028, 0.023 },
  { -0.480, 0.050, -0.044, 0.035 },
  { -0.450, 0.072, -0.062, 0.046 },
  { -0.400, 0.100, -0.084, 0.058 },
  { -0.320, 0.135, -0.110, 0.069 },
  { -0.220, 0.164, -0.131, 0.076 },
  { -0.100, 0.180, -0.142, 0.077 },
  { 0.030, 0.174, -0.136, 0.072 },
  { 0.170, 0.146, -0.115, 0.062 },
  { 0.310, 0.109, -0.088, 0.048 },
  { 0.450, 0.075, -0.062, 0.034 },
  { 0.570, 0.054, -0.047, 0.024 },
  { 0.670, 0.046, -0.040, 0.018 },
  { 0.730, 0.045, -0.039, 0.016 },
  { 0.752, 0.036, -0.031, 0.013 },
  { 0.762, 0.020, -0.017, 0.007 },
  { 0.765, 0.000, 0.000, 0.000 },
};
constexpr int StationCount = sizeof(BodyStations) / sizeof(BodyStations[0]);

// Monotone cubic interpolation (Fritsch-Carlson) of one outline column, so
// that the outline never overshoots between stations.
double InterpolateOutline(double x, double Station::*column)
{
  int i = 0;
  while (i < StationCount - 2 && x > BodyStations[i + 1].X)
  {
    ++i;
  }
  auto slope = [column](int k)
  {
    return (BodyStations[k + 1].*column - BodyStations[k].*column) /
      (BodyStations[k + 1].X - BodyStations[k].X);
  };
  auto tangent = [&slope](int k)
  {
    if (k == 0)
    {
      return slope(0);
    }
    if (k == StationCount - 1)
    {
      return slope(StationCount - 2);
    }
    const double a = slope(k - 1);
    const double b = slope(k);
    if (a * b <= 0.0)
    {
      return 0.0;
    }
    return 2.0 / (1.0 / a + 1.0 / b);
  };
  const Station& s0 = BodyStations[i];
  const Station& s1 = BodyStations[i + 1];
  const double h = s1.X - s0.X;
  const double f = std::min(1.0, std::max(0.0, (x - s0.X) / h));
  const double f2 = f * f;
  const double f3 = f2 * f;
  return (2 * f3 - 3 * f2 + 1) * (s0.*column) + (f3 - 2 * f2 + f) * h * tangent(i) +
    (-2 * f3 + 3 * f2) * (s1.*column) + (f3 - f2) * h * tangent(i + 1);
}

double BodyTop(double x)
{
  return InterpolateOutline(x, &Station::Top);
}

double BodyBottom(double x)
{
  return InterpolateOutline(x, &Station::Bottom);
}

double BodyHalfWidth(double x)
{
  return InterpolateOutline(x, &Station::HalfWidth);
}

// Signed power that keeps the sign: the superellipse section.
double SignedPower(double v, double e)
{
  return v < 0.0 ? -std::pow(-v, e) : std::pow(v, e);
}

constexpr double SectionExponent = 0.8; // below 1: fuller than an ellipse

// A point of the body surface at x and angle phi around the centre line
// (0 at the back, pi/2 at the +z flank, pi at the belly).
Vec3 BodyPoint(double x, double phi)
{
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double halfHeight = c >= 0.0 ? BodyTop(x) : -BodyBottom(x);
  return { x, CentreY + halfHeight * SignedPower(c, SectionExponent),
    CentreZ + BodyHalfWidth(x) * SignedPower(s, SectionExponent) };
}

constexpr int BodyRings = 40;
constexpr int BodySegments = 32;

// Ring positions along x, closer together at the rounded snout and at the
// end of the tail stalk, where the outline bends fastest.
double RingX(int ring)
{
  const double first = BodyStations[0].X;
  const double last = BodyStations[StationCount - 1].X;
  const double u = static_cast<double>(ring) / (BodyRings + 1);
  const double eased = 0.5 - 0.5 * std::cos(Pi * u);
  return Lerp(first, last, 0.45 * u + 0.55 * eased);
}

// The axis point at x of the programs' texture cylinder, moved a little
// towards +z so that the texture mapping gives the poles a mid-flank colour.
Vec3 PolePoint(double x)
{
  const double f = (x - CylinderPoint1[0]) / (CylinderPoint2[0] - CylinderPoint1[0]);
  return { x, Lerp(CylinderPoint1[1], CylinderPoint2[1], f), CentreZ + 1e-4 };
}

void AddBody(MeshBuilder& mesh)
{
  const vtkIdType snout = mesh.AddPoint(PolePoint(BodyStations[0].X));
  std::vector<vtkIdType> rings(static_cast<size_t>(BodyRings) * BodySegments);
  for (int ring = 0; ring < BodyRings; ++ring)
  {
    const double x = RingX(ring + 1);
    for (int k = 0; k < BodySegments; ++k)
    {
      // Half a segment off the back and belly lines, so that no vertex lies
      // on the texture's wrap-around at the back.
      const double phi = (k + 0.5) * 2.0 * Pi / BodySegments;
      rings[ring * BodySegments + k] = mesh.AddPoint(BodyPoint(x, phi));
    }
  }
  const vtkIdType tail = mesh.AddPoint(PolePoint(BodyStations[StationCount - 1].X));

  auto at = [&rings](int ring, int k) { return rings[ring * BodySegments + k % BodySegments]; };
  // Rings run counter-clockwise about +x, so (a, b, c) below faces outwards.
  for (int k = 0; k < BodySegments; ++k)
  {
    mesh.AddTriangle(snout, at(0, k + 1), at(0, k), BodyScalar);
  }
  for (int ring = 0; ring + 1 < BodyRings; ++ring)
  {
    for (int k = 0; k < BodySegments; ++k)
    {
      mesh.AddTriangle(at(ring, k), at(ring, k + 1), at(ring + 1, k + 1), BodyScalar);
      mesh.AddTriangle(at(ring, k), at(ring + 1, k + 1), at(ring + 1, k), BodyScalar);
    }
  }
  for (int k = 0; k < BodySegments; ++k)
  {
    mesh.AddTriangle(at(BodyRings - 1, k), at(BodyRings - 1, k + 1), tail, BodyScalar);
  }
}

// ---------------------------------------------------------------------------
// Fins

// A fin is a thin closed slab around a mid surface given over the unit
// square: u runs along the root, v from the root (v = 0) to the margin
// (v = 1). Its thickness vanishes on the square's border, where the two
// faces share their vertices.
struct Fin
{
  std::function<Vec3(double u, double v)> MidSurface;
  Vec3 Side;            // unit normal of the fin's plane
  double HalfThickness; // at the fin's middle
  int Columns;          // cells along u
  int Rows;             // cells along v
  std::function<float(double u, double v)> Scalar;
};

void AddFin(MeshBuilder& mesh, const Fin& fin)
{
  const int nu = fin.Columns;
  const int nv = fin.Rows;
  auto onBorder = [nu, nv](int i, int j) { return i == 0 || j == 0 || i == nu || j == nv; };
  std::vector<vtkIdType> front(static_cast<size_t>((nu + 1) * (nv + 1)));
  std::vector<vtkIdType> back(front.size());
  for (int j = 0; j <= nv; ++j)
  {
    for (int i = 0; i <= nu; ++i)
    {
      const double u = static_cast<double>(i) / nu;
      const double v = static_cast<double>(j) / nv;
      const Vec3 mid = fin.MidSurface(u, v);
      const size_t index = static_cast<size_t>(j * (nu + 1) + i);
      if (onBorder(i, j))
      {
        front[index] = back[index] = mesh.AddPoint(mid);
        continue;
      }
      const double half =
        fin.HalfThickness * std::sqrt(std::sin(Pi * u) * std::sin(Pi * (0.5 + 0.5 * v)));
      front[index] = mesh.AddPoint(mid + fin.Side * half);
      back[index] = mesh.AddPoint(mid + fin.Side * -half);
    }
  }

  // Which winding faces along Side follows from the mid surface's
  // parametrisation; the front face takes that winding, the back the other.
  const Vec3 du = fin.MidSurface(0.6, 0.5) - fin.MidSurface(0.4, 0.5);
  const Vec3 dv = fin.MidSurface(0.5, 0.6) - fin.MidSurface(0.5, 0.4);
  const bool gridFacesSide = Dot(Cross(du, dv), fin.Side) > 0.0;

  auto id = [nu](const std::vector<vtkIdType>& face, int i, int j)
  { return face[static_cast<size_t>(j * (nu + 1) + i)]; };
  for (int j = 0; j < nv; ++j)
  {
    for (int i = 0; i < nu; ++i)
    {
      const float scalar = fin.Scalar((i + 0.5) / nu, (j + 0.5) / nv);
      for (int face = 0; face < 2; ++face)
      {
        const std::vector<vtkIdType>& ids = face == 0 ? front : back;
        const vtkIdType a = id(ids, i, j);
        const vtkIdType b = id(ids, i + 1, j);
        const vtkIdType c = id(ids, i + 1, j + 1);
        const vtkIdType d = id(ids, i, j + 1);
        // Split the cell along a diagonal with an inner end: a diagonal
        // between two border vertices would give both faces the same
        // triangle, a flat double layer.
        const bool otherDiagonal = onBorder(i, j) && onBorder(i + 1, j + 1);
        const vtkIdType first[3] = { a, b, otherDiagonal ? d : c };
        const vtkIdType second[3] = { otherDiagonal ? b : a, c, d };
        for (const vtkIdType* t : { first, second })
        {
          if ((face == 0) == gridFacesSide)
          {
            mesh.AddTriangle(t[0], t[1], t[2], scalar);
          }
          else
          {
            mesh.AddTriangle(t[0], t[2], t[1], scalar);
          }
        }
      }
    }
  }
}

// Fin colour: the root's colour with a band of the margin's along the
// margin, every other ray a shade more golden.
std::function<float(double, double)> FinColour(float root, float margin, int rays)
{
  return [root, margin, rays](double u, double v)
  {
    const bool lighterRay = static_cast<int>(std::floor(u * rays)) % 2 == 1;
    return static_cast<float>((v < 0.7 ? root : margin) + (lighterRay ? 0.15 : 0.0));
  };
}

const Vec3 FlankSide{ 0.0, 0.0, 1.0 };

// A median fin on the back or the belly: root along x between x0 and x1,
// buried a little in the body, the margin swept back.
Fin MedianFin(double x0, double x1, bool onBack, std::function<double(double)> height, double sweep,
  int columns, int rows, float rootScalar, float marginScalar)
{
  Fin fin;
  fin.MidSurface = [=](double u, double v)
  {
    const double x = Lerp(x0, x1, u);
    const double h = height(u);
    const double rootY = onBack ? BodyTop(x) - 0.015 : BodyBottom(x) + 0.015;
    const double direction = onBack ? 1.0 : -1.0;
    return Vec3{ x + sweep * h * v, rootY + direction * (h + 0.015) * v, CentreZ };
  };
  fin.Side = FlankSide;
  fin.HalfThickness = 0.006;
  fin.Columns = columns;
  fin.Rows = rows;
  fin.Scalar = FinColour(rootScalar, marginScalar, columns);
  return fin;
}

Fin SpinyDorsalFin()
{
  // Tall in front, falling away to the back, with a scalloped spiny margin.
  auto height = [](double u)
  {
    const double profile = 0.02 + 0.13 * std::sin(Pi * std::pow(u, 0.55)) * (1.0 - 0.35 * u);
    const double spines = 1.0 - 0.10 * (0.5 + 0.5 * std::cos(2.0 * Pi * 6.0 * u));
    return profile * spines;
  };
  return MedianFin(-0.16, 0.18, true, height, 0.45, 14, 4, GoldenFinScalar, 1.3f);
}

Fin SoftDorsalFin()
{
  auto height = [](double u) { return 0.015 + 0.085 * std::sin(Pi * std::pow(u, 0.7)); };
  return MedianFin(0.21, 0.50, true, height, 0.5, 10, 4, GoldenFinScalar, 1.3f);
}

Fin AnalFin()
{
  auto height = [](double u) { return 0.015 + 0.075 * std::sin(Pi * std::pow(u, 0.6)); };
  return MedianFin(0.30, 0.50, false, height, 0.6, 8, 3, 1.5f, RedFinScalar);
}

Fin TailFin()
{
  Fin fin;
  fin.MidSurface = [](double u, double v)
  {
    // u runs from the lower lobe's tip edge to the upper lobe's; the margin
    // is forked, deepest in the middle.
    const double rootX = 0.69;
    const double rootY = Lerp(-0.032, 0.036, u);
    const double spread = std::abs(2.0 * u - 1.0);
    const double marginX = 0.845 + (TailTipX - 0.845) * std::pow(spread, 1.3);
    const double marginY = Lerp(-0.205, 0.225, u);
    const double reach = std::pow(v, 0.85);
    return Vec3{ Lerp(rootX, marginX, v), Lerp(rootY, marginY, reach), CentreZ };
  };
  fin.Side = FlankSide;
  fin.HalfThickness = 0.007;
  fin.Columns = 14;
  fin.Rows = 6;
  fin.Scalar = FinColour(GoldenFinScalar, 1.25f, fin.Columns);
  return fin;
}

// A paired fin on one flank (side = +1 or -1): root across the flank,
// pointing back, down and outwards.
Fin PairedFin(double side, const Vec3& rootStart, const Vec3& rootEnd, const Vec3& direction,
  std::function<double(double)> length, int columns, int rows, float rootScalar, float marginScalar)
{
  const Vec3 along = Normalised({ direction.X, direction.Y, side * direction.Z });
  const Vec3 start{ rootStart.X, rootStart.Y, CentreZ + side * rootStart.Z };
  const Vec3 end{ rootEnd.X, rootEnd.Y, CentreZ + side * rootEnd.Z };
  Fin fin;
  fin.MidSurface = [=](double u, double v)
  { return start + (end - start) * u + along * (length(u) * v); };
  fin.Side = Normalised(Cross(end - start, along));
  fin.HalfThickness = 0.005;
  fin.Columns = columns;
  fin.Rows = rows;
  fin.Scalar = FinColour(rootScalar, marginScalar, columns);
  return fin;
}

Fin PectoralFin(double side)
{
  // Root from just below the middle of the flank downwards; a rounded fan.
  auto length = [](double u) { return 0.06 + 0.13 * std::sin(Pi * (0.15 + 0.7 * u)); };
  return PairedFin(side, { -0.255, -0.005, 0.050 }, { -0.235, -0.065, 0.050 }, { 1.0, -0.25, 0.55 },
    length, 8, 4, GoldenFinScalar, 1.6f);
}

Fin PelvicFin(double side)
{
  auto length = [](double u) { return 0.05 + 0.09 * std::sin(Pi * (0.2 + 0.6 * u)); };
  return PairedFin(side, { -0.175, -0.100, 0.022 }, { -0.125, -0.112, 0.018 }, { 0.8, -1.0, 0.35 },
    length, 6, 3, 1.4f, RedFinScalar);
}

// ---------------------------------------------------------------------------
// Eyes

// A sphere whose pole looks outwards from the flank: rings around the pole
// give a round pupil and iris.
void AddEye(MeshBuilder& mesh, double side)
{
  constexpr double Radius = 0.037;
  constexpr int Rings = 10; // latitude bands from the outer pole inwards
  constexpr int Segments = 14;
  const double x = -0.405;
  const double y = 0.038;
  const Vec3 centre{ x, y, CentreZ + side * (BodyHalfWidth(x) * 0.86 - 0.010) };
  // Looking out sideways and a little forward and up.
  const Vec3 axis = Normalised({ -0.25, 0.15, side });
  const Vec3 first = Normalised(Cross(axis, { 0.0, 1.0, 0.0 }));
  const Vec3 second = Cross(axis, first);

  const vtkIdType outerPole = mesh.AddPoint(centre + axis * Radius);
  std::vector<vtkIdType> rings(static_cast<size_t>((Rings - 1) * Segments));
  for (int ring = 1; ring < Rings; ++ring)
  {
    const double theta = Pi * ring / Rings;
    for (int k = 0; k < Segments; ++k)
    {
      const double phi = 2.0 * Pi * k / Segments;
      const Vec3 direction =
        axis * std::cos(theta) + (first * std::cos(phi) + second * std::sin(phi)) * std::sin(theta);
      rings[(ring - 1) * Segments + k] = mesh.AddPoint(centre + direction * Radius);
    }
  }
  const vtkIdType innerPole = mesh.AddPoint(centre + axis * -Radius);

  auto at = [&rings](int ring, int k)
  { return rings[static_cast<size_t>((ring - 1) * Segments + k % Segments)]; };
  auto scalarOfBand = [](int band) { return band < 2 ? PupilScalar : IrisScalar; };
  // (first, second, axis) is right-handed, so rings run counter-clockwise
  // seen from the outer pole: (pole, k, k + 1) faces outwards.
  for (int k = 0; k < Segments; ++k)
  {
    mesh.AddTriangle(outerPole, at(1, k), at(1, k + 1), scalarOfBand(0));
  }
  for (int ring = 1; ring + 1 < Rings; ++ring)
  {
    for (int k = 0; k < Segments; ++k)
    {
      const float scalar = scalarOfBand(ring);
      mesh.AddTriangle(at(ring, k), at(ring + 1, k), at(ring + 1, k + 1), scalar);
      mesh.AddTriangle(at(ring, k), at(ring + 1, k + 1), at(ring, k + 1), scalar);
    }
  }
  for (int k = 0; k < Segments; ++k)
  {
    mesh.AddTriangle(at(Rings - 1, k), innerPole, at(Rings - 1, k + 1), IrisScalar);
  }
}

} // namespace

vtkSmartPointer<vtkPolyData> BuildFishMesh()
{
  MeshBuilder mesh;
  AddBody(mesh);
  AddFin(mesh, TailFin());
  AddFin(mesh, SpinyDorsalFin());
  AddFin(mesh, SoftDorsalFin());
  AddFin(mesh, AnalFin());
  for (double side : { 1.0, -1.0 })
  {
    AddFin(mesh, PectoralFin(side));
    AddFin(mesh, PelvicFin(side));
    AddEye(mesh, side);
  }
  return mesh.Finish();
}

} // namespace fishmodel
