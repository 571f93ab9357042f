// libFuzzer target for the deformation data reader. Each input is read as a
// "fish.trc" file from memory. Whatever the reader accepts must be safe to
// run: a configured shape transform bends a few points, including the
// control points themselves, in a computing and a cached pass.
#include "DeformationData.h"

#include "vtkNew.h"
#include "vtkPoints.h"
#include "vtkShapeTransform.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
// The arrays the transform borrows must match the counts it relies on.
void CheckCounts(const DeformationData& data)
{
  const std::size_t n = static_cast<std::size_t>(data.ControlPoints->GetNumberOfPoints());
  if (data.CoefficientIndex.size() != n || data.CoefficientsX.size() != n + 4 ||
    data.CoefficientsY.size() != n + 4 || data.CoefficientsZ.size() != n + 4 || !data.Locator ||
    !(data.Radius > 0.0f))
  {
    std::abort();
  }
  for (int row : data.CoefficientIndex)
  {
    if (row < 0 || static_cast<std::size_t>(row) >= n)
    {
      std::abort();
    }
  }
}

void Bend(vtkShapeTransform* transform, const DeformationData& data)
{
  vtkNew<vtkPoints> in;
  const vtkIdType n = data.ControlPoints->GetNumberOfPoints();
  for (vtkIdType i = 0; i < n && i < 64; ++i)
  {
    in->InsertNextPoint(data.ControlPoints->GetPoint(i));
  }
  in->InsertNextPoint(0.0, 0.0, 0.0);
  in->InsertNextPoint(0.5, -0.25, 0.125);
  for (float amplitude : { 0.75f, -1.0f })
  {
    vtkNew<vtkPoints> out;
    transform->SetAmplitude(amplitude);
    transform->TransformPoints(in, out);
    if (out->GetNumberOfPoints() != in->GetNumberOfPoints())
    {
      std::abort();
    }
  }
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
  // fmemopen wants a buffer of at least one byte; the stream still holds
  // exactly size bytes.
  static char empty[1];
  void* buffer = size > 0 ? const_cast<std::uint8_t*>(bytes) : static_cast<void*>(empty);
  FILE* file = fmemopen(buffer, size, "r");
  if (!file)
  {
    return 0;
  }
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  const DeformationDataOutcome outcome = ReadDeformationData(file, transform, data);
  std::fclose(file);
  if (outcome == DeformationDataOutcome::Configured)
  {
    CheckCounts(data);
    Bend(transform, data);
  }
  return 0;
}
