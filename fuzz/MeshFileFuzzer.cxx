// libFuzzer target for the fish mesh check. Each input is a "fish.vtk" file:
// it is checked and, when the check passes, read by VTK's legacy reader
// from memory and checked again, as the program does. What passes both must
// be safe for the program's pipeline: the skin mapping, the shape and pose
// filters and the two thresholds run over it. Counts that the file cannot
// hold must never size an allocation (the test runs this under a malloc
// limit).
#include "MeshFileCheck.h"

#include "vtkShapeTransform.h"

#include "vtkCellData.h"
#include "vtkDataSet.h"
#include "vtkNew.h"
#include "vtkObject.h"
#include "vtkPolyData.h"
#include "vtkPolyDataReader.h"
#include "vtkTextureMapToCylinder.h"
#include "vtkThreshold.h"
#include "vtkTransform.h"
#include "vtkTransformPolyDataFilter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
void RunThePipeline(vtkPolyDataReader* reader)
{
  vtkNew<vtkTextureMapToCylinder> skin;
  skin->AutomaticCylinderGenerationOff();
  skin->SetInputConnection(reader->GetOutputPort());
  vtkNew<vtkShapeTransform> bend;
  vtkNew<vtkTransformPolyDataFilter> shape;
  shape->SetTransform(bend);
  shape->SetInputConnection(skin->GetOutputPort());
  vtkNew<vtkTransform> turn;
  turn->RotateWXYZ(30, 0, 0, 1);
  vtkNew<vtkTransformPolyDataFilter> pose;
  pose->SetTransform(turn);
  pose->SetInputConnection(shape->GetOutputPort());
  const vtkIdType cells = reader->GetOutput()->GetNumberOfCells();
  vtkIdType kept = 0;
  for (int function : { vtkThreshold::THRESHOLD_LOWER, vtkThreshold::THRESHOLD_UPPER })
  {
    vtkNew<vtkThreshold> part;
    part->SetInputConnection(pose->GetOutputPort());
    part->SetThresholdFunction(function);
    part->SetLowerThreshold(0);
    part->SetUpperThreshold(1);
    part->SetInputArrayToProcess(
      0, 0, 0, vtkDataObject::FIELD_ASSOCIATION_CELLS, vtkDataSetAttributes::SCALARS);
    part->Update();
    kept += vtkDataSet::SafeDownCast(part->GetOutputDataObject(0))->GetNumberOfCells();
  }
  if (kept > cells)
  {
    std::abort();
  }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  // The readers and filters report broken input; the check collects what
  // it needs, and the rest would only slow the run down.
  vtkObject::GlobalWarningDisplayOff();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
  vtkNew<vtkPolyDataReader> reader;
  const std::string problem =
    ReadCheckedFishMesh(reader, std::string(reinterpret_cast<const char*>(bytes), size));
  if (problem.empty())
  {
    RunThePipeline(reader);
  }
  return 0;
}
