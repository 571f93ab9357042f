/*=========================================================================

  Program:   Fish animation programs
  Module:    DeformationData.cxx

=========================================================================*/
#include "DeformationData.h"

#include "vtkShapeTransform.h"

#include <cmath>
#include <cstddef>

namespace
{
// The fewest bytes that n control points need after the count of control
// points: every number takes at least one byte and every bracketed count at
// least three. Blocks 3 to 7: 3n + 3 + 3(n + 4) + 3 + n.
long long MinimumBytesFor(int n)
{
  return 7LL * n + 18;
}

// Bytes from the current position to the end of the stream, or -1 when the
// stream cannot tell.
long long RemainingBytes(FILE* file)
{
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
  {
    return -1;
  }
  const long end = std::ftell(file);
  if (std::fseek(file, here, SEEK_SET) != 0 || end < here)
  {
    return -1;
  }
  return end - here;
}

bool ReadCount(FILE* file, int& count)
{
  return std::fscanf(file, "[%d]\n", &count) == 1;
}

// One item of blocks 3 and 5: three finite numbers. fscanf accepts "nan" and
// "inf", and turns numbers too large for a float into infinity.
bool ReadTriple(FILE* file, float v[3])
{
  return std::fscanf(file, "%f %f %f\n", &v[0], &v[1], &v[2]) == 3 && std::isfinite(v[0]) &&
    std::isfinite(v[1]) && std::isfinite(v[2]);
}

DeformationDataOutcome Malformed(const char** problem, const char* text)
{
  if (problem)
  {
    *problem = text;
  }
  return DeformationDataOutcome::Malformed;
}

DeformationDataOutcome ReadBlocks(FILE* file, DeformationData& data, const char** problem)
{
  // Block 1: the support radius.
  float radius;
  if (std::fscanf(file, "[%f]\n", &radius) != 1)
  {
    return Malformed(problem, "the radius is not a bracketed number at the start of the file");
  }
  if (!std::isfinite(radius) || !(radius > 0.0f))
  {
    return Malformed(problem, "the radius is not a positive finite number");
  }
  data.Radius = radius;

  // Block 2: the number of control points, checked before anything is sized
  // by it.
  int n;
  if (!ReadCount(file, n))
  {
    return Malformed(problem, "the number of control points is not a bracketed integer");
  }
  if (n < 0)
  {
    return Malformed(problem, "the number of control points is negative");
  }
  const long long remaining = RemainingBytes(file);
  if (remaining < 0)
  {
    return Malformed(problem, "the size of the file cannot be determined");
  }
  if (MinimumBytesFor(n) > remaining)
  {
    return Malformed(problem, "the file is too short for its number of control points");
  }
  const std::size_t rows = static_cast<std::size_t>(n) + 4;
  data.CoefficientIndex.resize(static_cast<std::size_t>(n));
  data.CoefficientsX.resize(rows);
  data.CoefficientsY.resize(rows);
  data.CoefficientsZ.resize(rows);

  // Block 3: the control points.
  data.ControlPoints->Allocate(n);
  for (int i = 0; i < n; ++i)
  {
    float p[3];
    if (!ReadTriple(file, p))
    {
      return Malformed(problem, "a control point is not three finite numbers");
    }
    data.ControlPoints->InsertNextPoint(p);
  }

  // Blocks 4 and 5: the coefficient rows.
  int m;
  if (!ReadCount(file, m))
  {
    return Malformed(problem, "the number of coefficient rows is not a bracketed integer");
  }
  if (static_cast<long long>(m) != static_cast<long long>(n) + 4)
  {
    return Malformed(
      problem, "the number of coefficient rows is not the number of control points + 4");
  }
  for (std::size_t i = 0; i < rows; ++i)
  {
    float row[3];
    if (!ReadTriple(file, row))
    {
      return Malformed(problem, "a coefficient row is not three finite numbers");
    }
    data.CoefficientsX[i] = row[0];
    data.CoefficientsY[i] = row[1];
    data.CoefficientsZ[i] = row[2];
  }

  // Blocks 6 and 7: the coefficient row of each control point, which must
  // be one of the basis weight rows.
  int k;
  if (!ReadCount(file, k))
  {
    return Malformed(problem, "the number of index entries is not a bracketed integer");
  }
  if (k != n)
  {
    return Malformed(problem, "the number of index entries is not the number of control points");
  }
  for (int i = 0; i < k; ++i)
  {
    int row;
    if (std::fscanf(file, "%d\n", &row) != 1)
    {
      return Malformed(problem, "an index entry is not an integer");
    }
    if (row < 0 || row >= n)
    {
      return Malformed(problem, "an index entry is not a basis weight row");
    }
    data.CoefficientIndex[static_cast<std::size_t>(i)] = row;
  }
  return DeformationDataOutcome::Configured;
}

// VTK's point locator reports an error when built over no points, so an
// empty control point set keeps an unbuilt locator; the shape transform
// never queries it then.
void BuildLocator(DeformationData& data)
{
  data.LocatorData = vtkSmartPointer<vtkPolyData>::New();
  data.LocatorData->SetPoints(data.ControlPoints);
  data.Locator = vtkSmartPointer<vtkPointLocator>::New();
  data.Locator->Initialize();
  data.Locator->SetDataSet(data.LocatorData);
  if (data.ControlPoints->GetNumberOfPoints() > 0)
  {
    data.Locator->BuildLocator();
  }
}
}

//------------------------------------------------------------------------------
DeformationData::DeformationData() = default;

//------------------------------------------------------------------------------
DeformationData::~DeformationData() = default;

//------------------------------------------------------------------------------
DeformationDataOutcome ReadDeformationData(
  FILE* file, vtkShapeTransform* transform, DeformationData& data, const char** problem)
{
  const DeformationDataOutcome outcome = ReadBlocks(file, data, problem);
  if (outcome != DeformationDataOutcome::Configured)
  {
    return outcome;
  }
  BuildLocator(data);
  transform->SetDeformationData(data.Radius, data.ControlPoints, data.CoefficientsX.data(),
    data.CoefficientsY.data(), data.CoefficientsZ.data(), data.CoefficientIndex.data(),
    data.Locator);
  return outcome;
}

//------------------------------------------------------------------------------
DeformationDataOutcome ReadDeformationData(vtkShapeTransform* transform, DeformationData& data)
{
  FILE* file = std::fopen("fish.trc", "r");
  if (!file)
  {
    return DeformationDataOutcome::NoFile;
  }
  const char* problem = "";
  const DeformationDataOutcome outcome = ReadDeformationData(file, transform, data, &problem);
  std::fclose(file);
  if (outcome == DeformationDataOutcome::Malformed)
  {
    std::fprintf(stderr, "fish.trc: malformed deformation data: %s\n", problem);
  }
  return outcome;
}
