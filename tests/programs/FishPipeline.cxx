/*=========================================================================

  Program:   Fish animation programs
  Module:    FishPipeline.cxx

=========================================================================*/
#include "FishPipeline.h"

#include "vtkShapeTransform.h"

#include "vtkActor.h"
#include "vtkActorCollection.h"
#include "vtkMapper.h"
#include "vtkRenderer.h"
#include "vtkTransformPolyDataFilter.h"

//------------------------------------------------------------------------------
FishPipeline FindFish(vtkRenderer* scene)
{
  FishPipeline fish;
  vtkActorCollection* actors = scene->GetActors();
  actors->InitTraversal();
  while (vtkActor* actor = actors->GetNextActor())
  {
    vtkAlgorithm* threshold = actor->GetMapper()->GetInputAlgorithm();
    auto* pose = vtkTransformPolyDataFilter::SafeDownCast(
      threshold->GetNumberOfInputPorts() ? threshold->GetInputAlgorithm() : nullptr);
    if (!pose)
    {
      continue;
    }
    (actor->GetTexture() ? fish.TexturedActor : fish.ColouredActor) = actor;
    fish.PoseFilter = pose;
    fish.ShapeFilter = vtkTransformPolyDataFilter::SafeDownCast(pose->GetInputAlgorithm());
    fish.Shape = vtkShapeTransform::SafeDownCast(fish.ShapeFilter->GetTransform());
  }
  return fish;
}
