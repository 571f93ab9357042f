/*=========================================================================

  Program:   Fish animation programs
  Module:    DeformationData.cxx

=========================================================================*/
#include "DeformationData.h"

#include "vtkShapeTransform.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

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

void SkipWhiteSpace(FILE* file)
{
  int c;
  while ((c = std::fgetc(file)) != EOF && std::isspace(c))
  {
  }
  if (c != EOF)
  {
    std::ungetc(c, file);
  }
}

// A whole number as fscanf's %d reads it (white space, a sign, digits), but
// refused rather than undefined when it does not fit an int.
bool ReadInteger(FILE* file, int& value)
{
  SkipWhiteSpace(file);
  std::string text;
  int c = std::fgetc(file);
  if (c == '+' || c == '-')
  {
    text += static_cast<char>(c);
    c = std::fgetc(file);
  }
  while (c != EOF && std::isdigit(c) && text.size() < 32)
  {
    text += static_cast<char>(c);
    c = std::fgetc(file);
  }
  if (c != EOF)
  {
    std::ungetc(c, file);
  }
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.back())))
  {
    return false;
  }
  errno = 0;
  const long long number = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || number < INT_MIN || number > INT_MAX)
  {
    return false;
  }
  value = static_cast<int>(number);
  return true;
}

// "[count]" and the white space after it.
bool ReadCount(FILE* file, int& count)
{
  if (std::fgetc(file) != '[' || !ReadInteger(file, count) || std::fgetc(file) != ']')
  {
    return false;
  }
  SkipWhiteSpace(file);
  return true;
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
  // The arrays grow with what is read: a file can be as long as its counts
  // need and still hold nothing but white space or zero bytes.
  const std::size_t rows = static_cast<std::size_t>(n) + 4;

  // Block 3: the control points.
  for (int i = 0; i < n; ++i)
  {
    float p[3];
    if (!ReadTriple(file, p))
    {
      return Malformed(problem, "a control point is not three finite numbers");
    }
    data.ControlPoints->InsertNextPoint(p);
    if (data.ControlPoints->GetNumberOfPoints() != i + 1)
    {
      return Malformed(problem, "there is no memory for its control points");
    }
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
    data.CoefficientsX.push_back(row[0]);
    data.CoefficientsY.push_back(row[1]);
    data.CoefficientsZ.push_back(row[2]);
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
    if (!ReadInteger(file, row))
    {
      return Malformed(problem, "an index entry is not an integer");
    }
    SkipWhiteSpace(file);
    if (row < 0 || row >= n)
    {
      return Malformed(problem, "an index entry is not a basis weight row");
    }
    data.CoefficientIndex.push_back(row);
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
  DeformationDataOutcome outcome;
  try
  {
    outcome = ReadBlocks(file, data, problem);
  }
  catch (const std::bad_alloc&)
  {
    outcome = Malformed(problem, "there is no memory for what it holds");
  }
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
