// Tests of the generated data files in the run directory: the fish mesh and
// its cell scalars, the skin picture against the programs' cylindrical
// mapping, the background picture, and the deformation data read back by the
// programs' own reader and applied by vtkShapeTransform.
#include "DeformationData.h"
#include "FishBend.h"
#include "FishMesh.h"
#include "vtkShapeTransform.h"

#include "vtkBMPReader.h"
#include "vtkCellArray.h"
#include "vtkCellData.h"
#include "vtkDataArray.h"
#include "vtkImageData.h"
#include "vtkLookupTable.h"
#include "vtkNew.h"
#include "vtkPointData.h"
#include "vtkPoints.h"
#include "vtkPolyData.h"
#include "vtkPolyDataReader.h"
#include "vtkSmartPointer.h"
#include "vtkTextureMapToCylinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

namespace
{

using Vec3 = std::array<double, 3>;

vtkSmartPointer<vtkPolyData> ReadFish()
{
  vtkNew<vtkPolyDataReader> reader;
  reader->SetFileName("fish.vtk");
  reader->Update();
  return reader->GetOutput();
}

vtkSmartPointer<vtkImageData> ReadBitmap(const char* name)
{
  vtkNew<vtkBMPReader> reader;
  reader->SetFileName(name);
  reader->Update();
  return reader->GetOutput();
}

struct Triangle
{
  vtkIdType Ids[3];
  float Scalar;
};

std::vector<Triangle> Triangles(vtkPolyData* mesh)
{
  std::vector<Triangle> triangles;
  vtkDataArray* scalars = mesh->GetCellData()->GetScalars();
  vtkCellArray* polys = mesh->GetPolys();
  polys->InitTraversal();
  vtkIdType count = 0;
  const vtkIdType* ids = nullptr;
  for (vtkIdType cell = 0; polys->GetNextCell(count, ids); ++cell)
  {
    EXPECT_EQ(count, 3) << "cell " << cell;
    if (count == 3)
    {
      triangles.push_back(
        { { ids[0], ids[1], ids[2] }, static_cast<float>(scalars->GetComponent(cell, 0)) });
    }
  }
  return triangles;
}

Vec3 Point(vtkPoints* points, vtkIdType id)
{
  Vec3 p;
  points->GetPoint(id, p.data());
  return p;
}

Vec3 Minus(const Vec3& a, const Vec3& b)
{
  return { a[0] - b[0], a[1] - b[1], a[2] - b[2] };
}

double Length(const Vec3& a)
{
  return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

// Number of directed edges that are not matched by exactly one edge running
// the other way: zero for a closed surface whose triangles all wind the same
// way.
size_t UnpairedEdges(const std::vector<Triangle>& triangles)
{
  std::map<std::pair<vtkIdType, vtkIdType>, int> uses;
  for (const Triangle& t : triangles)
  {
    for (int k = 0; k < 3; ++k)
    {
      ++uses[{ t.Ids[k], t.Ids[(k + 1) % 3] }];
    }
  }
  size_t unpaired = 0;
  for (const auto& edge : uses)
  {
    const auto reverse = uses.find({ edge.first.second, edge.first.first });
    if (edge.second != 1 || reverse == uses.end() || reverse->second != 1)
    {
      ++unpaired;
    }
  }
  return unpaired;
}

// Splits triangles into connected parts (sharing points).
std::vector<std::vector<Triangle>> ConnectedParts(const std::vector<Triangle>& triangles)
{
  std::map<vtkIdType, vtkIdType> parent;
  auto find = [&parent](vtkIdType id)
  {
    while (parent.at(id) != id)
    {
      id = parent[id] = parent[parent[id]];
    }
    return id;
  };
  for (const Triangle& t : triangles)
  {
    for (vtkIdType id : t.Ids)
    {
      parent.emplace(id, id);
    }
  }
  for (const Triangle& t : triangles)
  {
    parent[find(t.Ids[1])] = find(t.Ids[0]);
    parent[find(t.Ids[2])] = find(t.Ids[0]);
  }
  std::map<vtkIdType, std::vector<Triangle>> parts;
  for (const Triangle& t : triangles)
  {
    parts[find(t.Ids[0])].push_back(t);
  }
  std::vector<std::vector<Triangle>> result;
  for (auto& part : parts)
  {
    result.push_back(std::move(part.second));
  }
  return result;
}

// Volume enclosed by a closed triangle surface, positive when its normals
// face outwards.
double SignedVolume(vtkPoints* points, const std::vector<Triangle>& triangles)
{
  double volume = 0.0;
  for (const Triangle& t : triangles)
  {
    const Vec3 a = Point(points, t.Ids[0]);
    const Vec3 b = Point(points, t.Ids[1]);
    const Vec3 c = Point(points, t.Ids[2]);
    volume += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                a[2] * (b[0] * c[1] - b[1] * c[0])) /
      6.0;
  }
  return volume;
}

std::vector<Triangle> WithScalar(const std::vector<Triangle>& triangles, bool body)
{
  std::vector<Triangle> selected;
  std::copy_if(triangles.begin(), triangles.end(), std::back_inserter(selected),
    [body](const Triangle& t) { return (t.Scalar <= 0.0f) == body; });
  return selected;
}

// ---------------------------------------------------------------------------
// The mesh

class FishMeshTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    this->Mesh = ReadFish();
    ASSERT_GT(this->Mesh->GetNumberOfCells(), 0)
      << "fish.vtk missing or empty in the run directory";
    ASSERT_NE(this->Mesh->GetCellData()->GetScalars(), nullptr) << "fish.vtk has no cell scalars";
    this->All = Triangles(this->Mesh);
    this->Body = WithScalar(this->All, true);
    this->Coloured = WithScalar(this->All, false);
  }

  vtkSmartPointer<vtkPolyData> Mesh;
  std::vector<Triangle> All;
  std::vector<Triangle> Body;
  std::vector<Triangle> Coloured;
};

TEST_F(FishMeshTest, CellScalarsSplitTheFishIntoTexturedBodyAndColouredParts)
{
  EXPECT_EQ(this->Mesh->GetNumberOfCells(), this->Mesh->GetNumberOfPolys());
  EXPECT_EQ(static_cast<vtkIdType>(this->All.size()), this->Mesh->GetNumberOfCells());
  // Light enough to re-filter every frame, detailed enough to look right.
  EXPECT_GE(this->All.size(), 2000u);
  EXPECT_LE(this->All.size(), 5000u);
  for (const Triangle& t : this->All)
  {
    ASSERT_TRUE(t.Scalar == 0.0f || t.Scalar >= 1.0f) << "scalar " << t.Scalar;
  }
  EXPECT_GT(this->Body.size(), this->All.size() / 3);
  EXPECT_GT(this->Coloured.size(), 0u);
}

TEST_F(FishMeshTest, ColouredPartsGetFishColoursFromTheDefaultLookupTable)
{
  // The programs colour by the default lookup table over the scalar range
  // of all cells: fins must come out warm (red to yellow), the pupils (the
  // largest value) blue.
  double range[2];
  this->Mesh->GetCellData()->GetScalars()->GetRange(range, 0);
  vtkNew<vtkLookupTable> table;
  table->SetRange(range);
  table->Build();
  size_t warm = 0;
  size_t blue = 0;
  for (const Triangle& t : this->Coloured)
  {
    double rgb[3];
    table->GetColor(t.Scalar, rgb);
    if (rgb[0] > 0.9 && rgb[2] < 0.1)
    {
      ++warm;
    }
    else if (rgb[2] > 0.9 && rgb[0] < 0.1)
    {
      ++blue;
    }
    else
    {
      ADD_FAILURE() << "scalar " << t.Scalar << " gives (" << rgb[0] << ", " << rgb[1] << ", "
                    << rgb[2] << ")";
    }
  }
  EXPECT_GT(warm, 4 * blue);
  EXPECT_GT(blue, 0u);
}

TEST_F(FishMeshTest, FitsTheModelFrameHeadAtMinusXBackAtPlusY)
{
  double bounds[6];
  this->Mesh->GetBounds(bounds);
  EXPECT_NEAR(bounds[0], -0.52, 0.01);
  EXPECT_NEAR(bounds[1], 0.98, 0.01);
  // The textured body lies between the two points of the cylinder mapping,
  // so its texture coordinate t stays within [0, 1].
  vtkPoints* points = this->Mesh->GetPoints();
  double bodyMin[3] = { 1e9, 1e9, 1e9 };
  double bodyMax[3] = { -1e9, -1e9, -1e9 };
  for (const Triangle& t : this->Body)
  {
    for (vtkIdType id : t.Ids)
    {
      const Vec3 p = Point(points, id);
      for (int k = 0; k < 3; ++k)
      {
        bodyMin[k] = std::min(bodyMin[k], p[k]);
        bodyMax[k] = std::max(bodyMax[k], p[k]);
      }
    }
  }
  EXPECT_GT(bodyMin[0], fishmodel::CylinderPoint1[0]);
  EXPECT_LT(bodyMax[0], fishmodel::CylinderPoint2[0]);
  // Centre line near y = 0, z = -0.213; flatter across z than along y.
  EXPECT_NEAR(0.5 * (bodyMin[1] + bodyMax[1]), 0.0, 0.03);
  EXPECT_NEAR(0.5 * (bodyMin[2] + bodyMax[2]), -0.213, 0.005);
  EXPECT_GT(bodyMax[1] - bodyMin[1], 1.5 * (bodyMax[2] - bodyMin[2]));

  // The pupils sit at the head end, one on each flank; the dorsal fins rise
  // above the back.
  double range[2];
  this->Mesh->GetCellData()->GetScalars()->GetRange(range, 0);
  int pupilsLeft = 0;
  int pupilsRight = 0;
  double highestFin = -1e9;
  for (const Triangle& t : this->Coloured)
  {
    const Vec3 p = Point(points, t.Ids[0]);
    if (t.Scalar == static_cast<float>(range[1]))
    {
      EXPECT_LT(p[0], -0.3);
      (p[2] > -0.213 ? pupilsLeft : pupilsRight)++;
    }
    highestFin = std::max(highestFin, p[1]);
  }
  EXPECT_GT(pupilsLeft, 0);
  EXPECT_EQ(pupilsLeft, pupilsRight);
  EXPECT_GT(highestFin, bodyMax[1] + 0.05);
}

TEST_F(FishMeshTest, EveryPartIsClosedAndFacesOutwards)
{
  EXPECT_EQ(UnpairedEdges(this->Body), 0u);
  EXPECT_EQ(UnpairedEdges(this->Coloured), 0u);
  const std::vector<std::vector<Triangle>> bodyParts = ConnectedParts(this->Body);
  EXPECT_EQ(bodyParts.size(), 1u);
  const std::vector<std::vector<Triangle>> colouredParts = ConnectedParts(this->Coloured);
  EXPECT_GE(colouredParts.size(), 5u); // tail, dorsal, paired fins, eyes
  vtkPoints* points = this->Mesh->GetPoints();
  for (const auto* parts : { &bodyParts, &colouredParts })
  {
    for (const std::vector<Triangle>& part : *parts)
    {
      EXPECT_GT(SignedVolume(points, part), 0.0) << "a part of " << part.size() << " triangles";
    }
  }
  for (const Triangle& t : this->All)
  {
    const Vec3 a = Point(points, t.Ids[0]);
    const Vec3 ab = Minus(Point(points, t.Ids[1]), a);
    const Vec3 ac = Minus(Point(points, t.Ids[2]), a);
    const Vec3 normal{ ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
      ab[0] * ac[1] - ab[1] * ac[0] };
    ASSERT_GT(Length(normal), 1e-9) << "degenerate triangle";
  }
}

// ---------------------------------------------------------------------------
// Skin and background pictures

TEST(SkinPictureTest, CylinderMappingPutsTheDarkBackUpAndTheLightBellyDown)
{
  vtkSmartPointer<vtkPolyData> mesh = ReadFish();
  ASSERT_GT(mesh->GetNumberOfPoints(), 0);
  vtkNew<vtkTextureMapToCylinder> mapping;
  mapping->SetInputData(mesh);
  mapping->AutomaticCylinderGenerationOff();
  mapping->SetPoint1(-0.518467, 0.00019908, -0.213065);
  mapping->SetPoint2(0.97664, 0.0240073, -0.213065);
  mapping->Update();
  vtkDataArray* tcoords = mapping->GetOutput()->GetPointData()->GetTCoords();
  ASSERT_NE(tcoords, nullptr);

  vtkSmartPointer<vtkImageData> skin = ReadBitmap("fish.bmp");
  int dims[3];
  skin->GetDimensions(dims);
  ASSERT_GT(dims[0], 16);
  ASSERT_GT(dims[1], 16);
  ASSERT_EQ(skin->GetNumberOfScalarComponents(), 3);
  auto brightness = [&skin, &dims](double s, double t)
  {
    const int i = std::min(dims[0] - 1, static_cast<int>(s * dims[0]));
    const int j = std::min(dims[1] - 1, static_cast<int>(t * dims[1]));
    double sum = 0.0;
    for (int c = 0; c < 3; ++c)
    {
      sum += skin->GetScalarComponentAsDouble(i, j, 0, c);
    }
    return sum / (3.0 * 255.0);
  };

  // Body points: texture coordinates inside the picture; points on the back
  // get dark skin, points on the belly light skin, on both flanks alike.
  const std::vector<Triangle> body = WithScalar(Triangles(mesh), true);
  std::vector<char> onBody(static_cast<size_t>(mesh->GetNumberOfPoints()), 0);
  for (const Triangle& t : body)
  {
    for (vtkIdType id : t.Ids)
    {
      onBody[static_cast<size_t>(id)] = 1;
    }
  }
  double backSum = 0.0;
  double bellySum = 0.0;
  int backCount = 0;
  int bellyCount = 0;
  double lowestT = 1.0;
  double highestT = 0.0;
  for (vtkIdType id = 0; id < mesh->GetNumberOfPoints(); ++id)
  {
    if (!onBody[static_cast<size_t>(id)])
    {
      continue;
    }
    const double* st = tcoords->GetTuple2(id);
    ASSERT_GE(st[0], 0.0);
    ASSERT_LT(st[0], 1.0) << "s = 1 wraps to the picture's other edge";
    ASSERT_GE(st[1], 0.0);
    ASSERT_LT(st[1], 1.0);
    lowestT = std::min(lowestT, st[1]);
    highestT = std::max(highestT, st[1]);
    Vec3 p;
    mesh->GetPoint(id, p.data());
    const double up = p[1] / std::max(1e-6, std::hypot(p[1], p[2] + 0.213));
    if (st[1] > 0.2 && st[1] < 0.7 && std::abs(up) > 0.95)
    {
      (up > 0 ? backSum : bellySum) += brightness(st[0], st[1]);
      (up > 0 ? backCount : bellyCount)++;
    }
  }
  EXPECT_LT(lowestT, 0.02);
  EXPECT_GT(highestT, 0.75);
  ASSERT_GT(backCount, 10);
  ASSERT_GT(bellyCount, 10);
  EXPECT_LT(backSum / backCount, 0.6 * (bellySum / bellyCount));
}

TEST(UnderwaterPictureTest, BlueWaterDeepeningDownwards)
{
  vtkSmartPointer<vtkImageData> picture = ReadBitmap("underwater.bmp");
  int dims[3];
  picture->GetDimensions(dims);
  ASSERT_EQ(dims[0], 1024);
  ASSERT_EQ(dims[1], 768);
  ASSERT_EQ(picture->GetNumberOfScalarComponents(), 3);
  // Image row 0 is the bottom of the picture.
  auto bandMean = [&picture, &dims](double from, double to, int component)
  {
    double sum = 0.0;
    int count = 0;
    for (int j = static_cast<int>(from * dims[1]); j < static_cast<int>(to * dims[1]); ++j)
    {
      for (int i = 0; i < dims[0]; ++i)
      {
        sum += picture->GetScalarComponentAsDouble(i, j, 0, component);
        ++count;
      }
    }
    return sum / count;
  };
  const double topBlue = bandMean(0.85, 0.95, 2);
  const double middleBlue = bandMean(0.40, 0.50, 2);
  EXPECT_GT(topBlue, 1.3 * middleBlue);
  for (double band : { 0.1, 0.45, 0.9 })
  {
    EXPECT_GT(bandMean(band - 0.05, band + 0.05, 2), bandMean(band - 0.05, band + 0.05, 0));
  }
}

// ---------------------------------------------------------------------------
// Deformation data, through the programs' reader and vtkShapeTransform

class FishBendTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_EQ(ReadDeformationData(this->Transform, this->Data), DeformationDataOutcome::Configured);
  }

  // The transform's output for the given points at the given amplitude.
  std::vector<Vec3> Bend(vtkPoints* input, float amplitude)
  {
    this->Transform->SetAmplitude(amplitude);
    vtkNew<vtkPoints> output;
    this->Transform->TransformPoints(input, output);
    std::vector<Vec3> bent;
    for (vtkIdType i = 0; i < output->GetNumberOfPoints(); ++i)
    {
      bent.push_back(Point(output, i));
    }
    return bent;
  }

  vtkNew<vtkShapeTransform> Transform;
  DeformationData Data;
};

TEST_F(FishBendTest, ReproducesTheSwimmingBendAtTheControlPoints)
{
  const std::vector<fishbend::Point> layout = fishbend::ControlPointLayout();
  ASSERT_EQ(this->Data.ControlPoints->GetNumberOfPoints(), static_cast<vtkIdType>(layout.size()));
  EXPECT_FLOAT_EQ(this->Data.Radius, static_cast<float>(fishbend::SupportRadius()));

  // At amplitude 1 a control point c goes to c - d(c), d being the bend.
  // Single-precision coefficients and points keep the error near 1e-7.
  vtkPoints* controls = this->Data.ControlPoints;
  const std::vector<Vec3> bent = this->Bend(controls, 1.0f);
  ASSERT_EQ(bent.size(), layout.size());
  double largest = 0.0;
  double worst = 0.0;
  for (vtkIdType i = 0; i < controls->GetNumberOfPoints(); ++i)
  {
    const Vec3 c = Point(controls, i);
    const fishbend::Point d = fishbend::BendDisplacement(c);
    const Vec3 expected{ c[0] - d[0], c[1] - d[1], c[2] - d[2] };
    worst = std::max(worst, Length(Minus(bent[i], expected)));
    largest = std::max(largest, Length({ d[0], d[1], d[2] }));
  }
  EXPECT_LT(worst, 1e-6);
  EXPECT_GT(largest, 0.15); // the bend is not trivially zero
}

TEST_F(FishBendTest, BendsTheWholeFishSmoothlyTailSwingingSideways)
{
  vtkSmartPointer<vtkPolyData> mesh = ReadFish();
  vtkPoints* points = mesh->GetPoints();
  ASSERT_GT(points->GetNumberOfPoints(), 0);

  // Every point has a control point within the radius: a point without one
  // would stay behind while its neighbours move.
  vtkPoints* controls = this->Data.ControlPoints;
  for (vtkIdType i = 0; i < points->GetNumberOfPoints(); ++i)
  {
    double nearest = 1e9;
    for (vtkIdType j = 0; j < controls->GetNumberOfPoints(); ++j)
    {
      nearest = std::min(nearest, Length(Minus(Point(points, i), Point(controls, j))));
    }
    ASSERT_LT(nearest, this->Data.Radius) << "point " << i;
  }

  const float widest = 10.0f / 11.0f;
  const std::vector<Vec3> bent = this->Bend(points, widest);
  ASSERT_EQ(bent.size(), static_cast<size_t>(points->GetNumberOfPoints()));
  vtkIdType tailTip = 0;
  for (vtkIdType i = 0; i < points->GetNumberOfPoints(); ++i)
  {
    const Vec3 p = Point(points, i);
    const Vec3 move = Minus(bent[i], p);
    if (p[0] > Point(points, tailTip)[0])
    {
      tailTip = i;
    }
    // The head keeps still; everywhere the fitted field stays within 0.01 of
    // the bend it was fitted to.
    if (p[0] < -0.4)
    {
      EXPECT_LT(Length(move), 0.005) << "head point " << i;
    }
    const fishbend::Point d = fishbend::BendDisplacement(p);
    const Vec3 exact{ -widest * d[0], -widest * d[1], -widest * d[2] };
    EXPECT_LT(Length(Minus(move, exact)), 0.01) << "point " << i;
  }
  const Vec3 tailMove = Minus(bent[tailTip], Point(points, tailTip));
  EXPECT_GT(std::abs(tailMove[2]), 0.15);
  EXPECT_LT(std::abs(tailMove[2]), 0.3);
  EXPECT_LT(std::abs(tailMove[1]), 0.02);

  // No tearing or crumpling: edges keep their lengths roughly.
  for (const Triangle& t : Triangles(mesh))
  {
    for (int k = 0; k < 3; ++k)
    {
      const vtkIdType a = t.Ids[k];
      const vtkIdType b = t.Ids[(k + 1) % 3];
      const double before = Length(Minus(Point(points, a), Point(points, b)));
      const double after = Length(Minus(bent[a], bent[b]));
      ASSERT_NEAR(after, before, 0.25 * before + 0.002) << "edge " << a << "-" << b;
    }
  }
}

} // namespace
