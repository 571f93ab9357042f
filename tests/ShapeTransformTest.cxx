// Tests of vtkShapeTransform: the radial basis deformation, its displacement
// cache, and its use as the transform of a vtkTransformPolyDataFilter.
#include "vtkShapeTransform.h"

#include "vtkCallbackCommand.h"
#include "vtkCommand.h"
#include "vtkDoubleArray.h"
#include "vtkFloatArray.h"
#include "vtkNew.h"
#include "vtkPointData.h"
#include "vtkPointLocator.h"
#include "vtkPoints.h"
#include "vtkPolyData.h"
#include "vtkTransformPolyDataFilter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace
{
using Vec3 = std::array<double, 3>;

vtkNew<vtkPoints> MakePoints(const std::vector<Vec3>& coordinates, int dataType = VTK_FLOAT)
{
  vtkNew<vtkPoints> points;
  points->SetDataType(dataType);
  for (const Vec3& p : coordinates)
  {
    points->InsertNextPoint(p.data());
  }
  return points;
}

void ExpectPoints(vtkPoints* points, const std::vector<Vec3>& expected, double tolerance = 1e-6)
{
  ASSERT_EQ(points->GetNumberOfPoints(), static_cast<vtkIdType>(expected.size()));
  for (vtkIdType i = 0; i < points->GetNumberOfPoints(); ++i)
  {
    double p[3];
    points->GetPoint(i, p);
    for (int k = 0; k < 3; ++k)
    {
      EXPECT_NEAR(p[k], expected[i][k], tolerance) << "point " << i << " coordinate " << k;
    }
  }
}

// The deformation data that a transform borrows, kept alive by the fixture:
// control points, coefficient rows (x, y, z per row) and the index.
class ShapeTransformTest : public ::testing::Test
{
protected:
  void Configure(float radius, const std::vector<Vec3>& controlPoints,
    const std::vector<Vec3>& rows, const std::vector<int>& index)
  {
    this->ControlPoints->Reset();
    for (const Vec3& c : controlPoints)
    {
      this->ControlPoints->InsertNextPoint(c.data());
    }
    this->X.clear();
    this->Y.clear();
    this->Z.clear();
    for (const Vec3& row : rows)
    {
      this->X.push_back(static_cast<float>(row[0]));
      this->Y.push_back(static_cast<float>(row[1]));
      this->Z.push_back(static_cast<float>(row[2]));
    }
    this->Index = index;
    this->LocatorData->SetPoints(this->ControlPoints);
    this->Locator->Initialize();
    this->Locator->SetDataSet(this->LocatorData);
    this->Locator->BuildLocator();
    this->Transform->SetDeformationData(radius, this->ControlPoints, this->X.data(), this->Y.data(),
      this->Z.data(), this->Index.data(), this->Locator);
  }

  // One control point at the origin with R = 2, basis weight row (4, 0, 0)
  // and constant term (0.5, 0, 0).
  void ConfigureWorkedExample()
  {
    this->Configure(2.0f, { { 0, 0, 0 } },
      { { 4, 0, 0 }, { 0.5, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 } }, { 0 });
  }

  vtkNew<vtkPoints> Pass(const std::vector<Vec3>& input)
  {
    vtkNew<vtkPoints> in = MakePoints(input);
    vtkNew<vtkPoints> out;
    this->Transform->TransformPoints(in, out);
    return out;
  }

  vtkNew<vtkShapeTransform> Transform;
  vtkNew<vtkPoints> ControlPoints;
  std::vector<float> X, Y, Z;
  std::vector<int> Index;
  vtkNew<vtkPolyData> LocatorData;
  vtkNew<vtkPointLocator> Locator;
};

TEST_F(ShapeTransformTest, TypeInformation)
{
  EXPECT_STREQ(this->Transform->GetClassName(), "vtkShapeTransform");
  EXPECT_TRUE(this->Transform->IsA("vtkShapeTransform"));
  EXPECT_TRUE(this->Transform->IsA("vtkAbstractTransform"));
  EXPECT_TRUE(this->Transform->IsA("vtkObject"));
  // A transform filter takes its fast path for linear transforms only.
  EXPECT_FALSE(this->Transform->IsA("vtkLinearTransform"));
  EXPECT_EQ(this->Transform->GetAmplitude(), 0.0f);
}

// VTK asks a transform for its inverse through MakeTransform: the bend has
// none, so the inverse is an unconfigured shape transform that passes every
// point through, and so do the single-point entry points.
TEST_F(ShapeTransformTest, InverseAndSinglePointsPassPointsThrough)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);

  vtkAbstractTransform* made = this->Transform->MakeTransform();
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->GetClassName(), "vtkShapeTransform");
  made->Delete();

  vtkAbstractTransform* inverse = this->Transform->GetInverse();
  ASSERT_NE(inverse, nullptr);
  EXPECT_TRUE(inverse->IsA("vtkShapeTransform"));
  EXPECT_EQ(inverse->GetInverse(), this->Transform.Get());

  for (vtkAbstractTransform* t : { inverse, static_cast<vtkAbstractTransform*>(this->Transform) })
  {
    double out[3] = { 9, 9, 9 };
    const double in[3] = { 1, 0, 0 };
    t->TransformPoint(in, out);
    EXPECT_EQ(std::vector<double>(out, out + 3), std::vector<double>(in, in + 3));
    float outF[3] = { 9, 9, 9 };
    const float inF[3] = { 1, 2, 3 };
    t->TransformPoint(inF, outF);
    EXPECT_EQ(std::vector<float>(outF, outF + 3), std::vector<float>(inF, inF + 3));
    double derivative[3][3];
    t->InternalTransformDerivative(in, out, derivative);
    for (int i = 0; i < 3; ++i)
    {
      for (int j = 0; j < 3; ++j)
      {
        EXPECT_EQ(derivative[i][j], i == j ? 1.0 : 0.0);
      }
    }
  }

  // In a filter, the inverse leaves the points where they are.
  vtkNew<vtkPolyData> input;
  vtkNew<vtkPoints> points;
  points->InsertNextPoint(1, 0, 0);
  input->SetPoints(points);
  vtkNew<vtkTransformPolyDataFilter> filter;
  filter->SetInputData(input);
  filter->SetTransform(inverse);
  filter->Update();
  double p[3];
  filter->GetOutput()->GetPoint(0, p);
  EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{ 1, 0, 0 }));
}

TEST_F(ShapeTransformTest, WorkedExample)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({ { 1, 0, 0 }, { 3, 0, 0 } }), { { -0.5, 0, 0 }, { 3, 0, 0 } });
  // The cached pass gives the same points.
  ExpectPoints(this->Pass({ { 1, 0, 0 }, { 3, 0, 0 } }), { { -0.5, 0, 0 }, { 3, 0, 0 } });
}

TEST_F(ShapeTransformTest, UnconfiguredPassesPointsNormalsAndVectorsThrough)
{
  this->Transform->SetAmplitude(3.0f);
  const std::vector<Vec3> coordinates = { { 1, 2, 3 }, { -4, 5, -6 }, { 0.25, 0, 1e6 } };
  vtkNew<vtkPoints> in = MakePoints(coordinates);
  vtkNew<vtkPoints> out;
  vtkNew<vtkFloatArray> normals;
  normals->SetNumberOfComponents(3);
  vtkNew<vtkFloatArray> vectors;
  vectors->SetNumberOfComponents(3);
  for (const Vec3& p : coordinates)
  {
    normals->InsertNextTuple3(p[2], p[1], p[0]);
    vectors->InsertNextTuple3(-p[0], 2 * p[1], p[2]);
  }
  vtkNew<vtkFloatArray> outNormals;
  vtkNew<vtkFloatArray> outVectors;
  this->Transform->TransformPointsNormalsVectors(in, out, normals, outNormals, vectors, outVectors);

  ExpectPoints(out, coordinates, 0.0);
  ASSERT_EQ(outNormals->GetNumberOfTuples(), 3);
  ASSERT_EQ(outVectors->GetNumberOfTuples(), 3);
  for (vtkIdType i = 0; i < 3; ++i)
  {
    for (int k = 0; k < 3; ++k)
    {
      EXPECT_EQ(outNormals->GetComponent(i, k), normals->GetComponent(i, k));
      EXPECT_EQ(outVectors->GetComponent(i, k), vectors->GetComponent(i, k));
    }
  }
}

// One control point at the origin, R = 2: basis weight row (1, 0, 0), so that
// d.x is the weight, and constant term (0, 1, 0), which shows where the
// affine term applies.
TEST_F(ShapeTransformTest, WeightFallsFromOneAtTheCentreToZeroAtTheRadius)
{
  this->Configure(2.0f, { { 0, 0, 0 } },
    { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 } }, { 0 });
  this->Transform->SetAmplitude(-1.0f); // output = p + d
  ExpectPoints(this->Pass({ { 0, 0, 0 }, { 0, 0, 1 }, { 0, 2, 0 }, { 0, 0, -2.001 } }),
    {
      { 1, 1, 0 },     // at the control point: w = 1
      { 0.25, 1, 1 },  // at r = 1: w = (1 - 1/2)^2
      { 0, 3, 0 },     // at r = R: w = 0, the affine term still applies
      { 0, 0, -2.001 } // outside every support: unchanged
    });
}

TEST_F(ShapeTransformTest, PointOutsideEverySupportIgnoresTheAffineTerm)
{
  this->Configure(1.0f, { { 0, 0, 0 }, { 5, 0, 0 } },
    { { 1, 1, 1 }, { 2, 2, 2 }, { 7, 7, 7 }, { 3, 0, 0 }, { 0, 3, 0 }, { 0, 0, 3 } }, { 0, 1 });
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({ { 2.5, 0, 0 }, { 0, 1.5, 0 }, { -10, 4, 2 } }),
    { { 2.5, 0, 0 }, { 0, 1.5, 0 }, { -10, 4, 2 } }, 0.0);
}

// Two control points whose index entries are swapped, and affine factors of
// x, y and z: every row of the coefficient arrays takes part.
TEST_F(ShapeTransformTest, SumsBasisRowsThroughTheIndexAndAddsTheAffineTerm)
{
  this->Configure(4.0f, { { 0, 0, 0 }, { 2, 0.5, 0.25 } },
    {
      { 1, 0, 0 },  // row 0, used by control point 1
      { 0, 10, 0 }, // row 1, used by control point 0
      { 0, 0, 1 },  // constant
      { 2, 0, 0 },  // times x
      { 0, 3, 0 },  // times y
      { 0, 0, 5 },  // times z
    },
    { 1, 0 });
  this->Transform->SetAmplitude(-1.0f);
  const Vec3 p = { 1, 0.5, 0.25 };
  const double r0 = std::sqrt(1 + 0.25 + 0.0625);
  const double r1 = 1;
  const double w0 = (1 - r0 / 4) * (1 - r0 / 4);
  const double w1 = (1 - r1 / 4) * (1 - r1 / 4);
  const Vec3 d = { w1 * 1 + 2 * p[0], w0 * 10 + 3 * p[1], 1 + 5 * p[2] };
  ExpectPoints(this->Pass({ p }), { { p[0] + d[0], p[1] + d[1], p[2] + d[2] } }, 1e-5);
}

// The coefficient arrays are borrowed, so changing them after a pass shows
// whether a later pass reads the cache or evaluates the field again.
TEST_F(ShapeTransformTest, AmplitudeZeroOutputsTheInputAndStillFillsTheCache)
{
  this->ConfigureWorkedExample();
  ExpectPoints(this->Pass({ { 1, 0, 0 }, { 3, 0, 0 } }), { { 1, 0, 0 }, { 3, 0, 0 } }, 0.0);
  this->X[0] = 100.0f;
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({ { 1, 0, 0 }, { 3, 0, 0 } }), { { -0.5, 0, 0 }, { 3, 0, 0 } });
}

TEST_F(ShapeTransformTest, LaterPassesRescaleOneCachedDisplacement)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({ { 1, 0, 0 } }), { { -0.5, 0, 0 } });
  this->X[0] = 100.0f;
  this->Transform->SetAmplitude(-2.0f);
  ExpectPoints(this->Pass({ { 1, 0, 0 } }), { { 1 + 2 * 1.5, 0, 0 } });
  // Different coordinates with the same count still read the cache by index.
  this->Transform->SetAmplitude(0.5f);
  ExpectPoints(this->Pass({ { 7, 7, 7 } }), { { 7 - 0.75, 7, 7 } });
}

TEST_F(ShapeTransformTest, ReconfigurationComputesTheDisplacementsAgain)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({ { 1, 0, 0 } }), { { -0.5, 0, 0 } });
  this->Transform->SetDeformationData(2.0f, this->ControlPoints, this->Y.data(), this->X.data(),
    this->Z.data(), this->Index.data(), this->Locator);
  ExpectPoints(this->Pass({ { 1, 0, 0 } }), { { 1, -1.5, 0 } });
}

TEST_F(ShapeTransformTest, InputOfAnotherSizeComputesTheDisplacementsAgain)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({}), {});
  ExpectPoints(this->Pass({ { 1, 0, 0 } }), { { -0.5, 0, 0 } });
  this->X[1] = 1.5f; // constant term: d = (0.25 * 4 + 1.5, 0, 0) from now on
  ExpectPoints(this->Pass({ { 1, 0, 0 }, { 0, 0, 0 }, { 3, 0, 0 } }),
    { { -1.5, 0, 0 }, { -5.5, 0, 0 }, { 3, 0, 0 } });
}

TEST_F(ShapeTransformTest, EmptyInputGivesEmptyOutput)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);
  ExpectPoints(this->Pass({}), {});
  ExpectPoints(this->Pass({}), {});
}

// The cached pass over float points must give the points of the computing
// pass, in the same order, up to the single-precision cache; so must the
// passes over double-precision points.
TEST_F(ShapeTransformTest, CachedPassMatchesComputingPassForEveryPrecision)
{
  std::vector<Vec3> controlPoints;
  std::vector<Vec3> rows;
  std::vector<int> index;
  for (int j = 0; j < 6; ++j)
  {
    controlPoints.push_back({ 0.3 * j, 0.1 * (j % 3), -0.05 * j });
    rows.push_back({ 0.01 * (j + 1), -0.02 * j, 0.03 });
    index.push_back(5 - j);
  }
  rows.insert(rows.end(), { { 0.01, 0.02, 0.03 }, { 0.1, 0, 0 }, { 0, -0.1, 0 }, { 0, 0, 0.2 } });
  this->Configure(0.5f, controlPoints, rows, index);
  this->Transform->SetAmplitude(0.75f);

  std::vector<Vec3> grid;
  for (int i = 0; i < 40; ++i)
  {
    for (int j = 0; j < 5; ++j)
    {
      grid.push_back({ -0.2 + 0.05 * i, -0.1 + 0.07 * j, 0.02 * (i % 4) - 0.1 });
    }
  }
  vtkNew<vtkPoints> computed = this->Pass(grid);
  std::vector<Vec3> expected(grid.size());
  for (std::size_t i = 0; i < grid.size(); ++i)
  {
    computed->GetPoint(static_cast<vtkIdType>(i), expected[i].data());
  }
  int moved = 0;
  for (std::size_t i = 0; i < grid.size(); ++i)
  {
    moved += std::abs(expected[i][0] - grid[i][0]) > 1e-4;
  }
  EXPECT_GT(moved, 100) << "the data should bend most of the grid";

  ExpectPoints(this->Pass(grid), expected, 1e-6);

  vtkNew<vtkPoints> doubleIn = MakePoints(grid, VTK_DOUBLE);
  vtkNew<vtkPoints> doubleOut;
  doubleOut->SetDataTypeToDouble();
  this->Transform->TransformPoints(doubleIn, doubleOut);
  ExpectPoints(doubleOut, expected, 1e-6);
}

TEST_F(ShapeTransformTest, AppendsAfterPointsAlreadyInTheOutput)
{
  this->ConfigureWorkedExample();
  this->Transform->SetAmplitude(1.0f);
  for (int pass = 0; pass < 2; ++pass)
  {
    vtkNew<vtkPoints> in = MakePoints({ { 1, 0, 0 }, { 3, 0, 0 } });
    vtkNew<vtkPoints> out = MakePoints({ { 9, 9, 9 } });
    this->Transform->TransformPoints(in, out);
    ExpectPoints(out, { { 9, 9, 9 }, { -0.5, 0, 0 }, { 3, 0, 0 } });
  }
}

// Data outside what the transform requires is answered with no displacement
// instead of reads outside the arrays.
TEST_F(ShapeTransformTest, InvalidRadiusOrIndexContributesNothing)
{
  const std::vector<Vec3> rows = { { 4, 0, 0 }, { 0.5, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 },
    { 0, 0, 0 } };
  this->Transform->SetAmplitude(1.0f);
  for (float radius : { 0.0f, -2.0f, std::nanf("") })
  {
    this->Configure(radius, { { 0, 0, 0 } }, rows, { 0 });
    ExpectPoints(this->Pass({ { 1, 0, 0 }, { 0, 0, 0 } }), { { 1, 0, 0 }, { 0, 0, 0 } }, 0.0);
  }
  for (int row : { -1, 1, 4 })
  {
    this->Configure(2.0f, { { 0, 0, 0 } }, rows, { row });
    // Only the constant term remains.
    ExpectPoints(this->Pass({ { 1, 0, 0 } }), { { 0.5, 0, 0 } });
  }
}

TEST_F(ShapeTransformTest, SetAmplitudeMarksModifiedEveryTime)
{
  this->Transform->SetAmplitude(0.5f);
  const vtkMTimeType before = this->Transform->GetMTime();
  this->Transform->SetAmplitude(0.5f);
  EXPECT_GT(this->Transform->GetMTime(), before);
  EXPECT_EQ(this->Transform->GetAmplitude(), 0.5f);
}

TEST_F(ShapeTransformTest, DrivesATransformPolyDataFilter)
{
  this->ConfigureWorkedExample();
  const std::vector<Vec3> coordinates = { { 1, 0, 0 }, { 3, 0, 0 }, { 0, 1, 1 } };
  vtkNew<vtkPolyData> mesh;
  mesh->SetPoints(MakePoints(coordinates));
  vtkNew<vtkFloatArray> normals;
  normals->SetName("Normals");
  normals->SetNumberOfComponents(3);
  vtkNew<vtkDoubleArray> uv;
  uv->SetName("UV");
  uv->SetNumberOfComponents(2);
  for (vtkIdType i = 0; i < 3; ++i)
  {
    normals->InsertNextTuple3(0, 0, 1);
    uv->InsertNextTuple2(0.1 * i, 0.2);
  }
  mesh->GetPointData()->SetNormals(normals);
  mesh->GetPointData()->SetTCoords(uv);

  vtkNew<vtkTransformPolyDataFilter> filter;
  filter->SetInputData(mesh);
  filter->SetTransform(this->Transform);
  int executions = 0;
  vtkNew<vtkCallbackCommand> counter;
  counter->SetClientData(&executions);
  counter->SetCallback(
    [](vtkObject*, unsigned long, void* count, void*) { ++*static_cast<int*>(count); });
  filter->AddObserver(vtkCommand::StartEvent, counter);

  filter->Update();
  EXPECT_EQ(executions, 1);
  ExpectPoints(filter->GetOutput()->GetPoints(), coordinates, 0.0);

  // (0, 1, 1) lies at r = sqrt(2) from the control point.
  const double w = std::pow(1 - std::sqrt(2.0) / 2, 2);
  for (float amplitude : { 1.0f, 2.0f, 2.0f })
  {
    const int before = executions;
    this->Transform->SetAmplitude(amplitude);
    filter->Update();
    EXPECT_EQ(executions, before + 1) << "amplitude " << amplitude;
    ExpectPoints(filter->GetOutput()->GetPoints(),
      { { 1 - amplitude * 1.5, 0, 0 }, { 3, 0, 0 }, { -amplitude * (4 * w + 0.5), 1, 1 } });
  }
  filter->Update();
  EXPECT_EQ(executions, 4) << "nothing changed, nothing to execute";

  vtkPointData* out = filter->GetOutput()->GetPointData();
  ASSERT_NE(out->GetNormals(), nullptr);
  ASSERT_NE(out->GetTCoords(), nullptr);
  for (vtkIdType i = 0; i < 3; ++i)
  {
    EXPECT_EQ(out->GetNormals()->GetComponent(i, 2), 1.0);
    EXPECT_EQ(out->GetTCoords()->GetComponent(i, 0), 0.1 * i);
  }
}
}
