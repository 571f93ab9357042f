/*=========================================================================

  Program:   Fish animation programs
  Module:    FishPipeline.h

=========================================================================*/
/**
 * The fish pipeline of a running program, found from the scene renderer:
 * its two actors, the pose filter and the shape filter with its transform.
 */

#ifndef FishPipeline_h
#define FishPipeline_h

class vtkActor;
class vtkRenderer;
class vtkShapeTransform;
class vtkTransformPolyDataFilter;

// Reached from the two actors back to the shape transform: mapper,
// threshold, pose filter, shape filter. Members are null where the scene
// holds no fish.
struct FishPipeline
{
  vtkActor* TexturedActor = nullptr;
  vtkActor* ColouredActor = nullptr;
  vtkTransformPolyDataFilter* PoseFilter = nullptr;
  vtkTransformPolyDataFilter* ShapeFilter = nullptr;
  vtkShapeTransform* Shape = nullptr;
};

FishPipeline FindFish(vtkRenderer* scene);

#endif
