/*=========================================================================

  Program:   Fish animation programs
  Module:    FishProgram.cxx

=========================================================================*/
#include "FishProgram.h"

#include "BitmapFileCheck.h"
#include "DeformationData.h"
#include "MeshFileCheck.h"
#include "vtkShapeTransform.h"
#include "vtkTrajectory.h"

#include "vtkActor.h"
#include "vtkBMPReader.h"
#include "vtkCallbackCommand.h"
#include "vtkCamera.h"
#include "vtkCellArray.h"
#include "vtkCellData.h"
#include "vtkDataArray.h"
#include "vtkDataSetMapper.h"
#include "vtkGlyph3D.h"
#include "vtkImageActor.h"
#include "vtkImageData.h"
#include "vtkImageMapper3D.h"
#include "vtkNew.h"
#include "vtkOpenGLRenderWindow.h"
#include "vtkOpenGLState.h"
#include "vtkPoints.h"
#include "vtkPolyData.h"
#include "vtkPolyDataMapper.h"
#include "vtkPolyDataReader.h"
#include "vtkProperty.h"
#include "vtkRenderWindow.h"
#include "vtkRenderWindowInteractor.h"
#include "vtkRenderer.h"
#include "vtkSphereSource.h"
#include "vtkTexture.h"
#include "vtkTextureMapToCylinder.h"
#include "vtkThreshold.h"
#include "vtkTransform.h"
#include "vtkTransformPolyDataFilter.h"
#include "vtkTubeFilter.h"

#include <cstdio>
#include <string>

namespace
{
constexpr int SamplesPerKeyFrame = 40;
constexpr const char* BackgroundFileName = "underwater.bmp";
constexpr const char* FishMeshFileName = "fish.vtk";
constexpr const char* FishSkinFileName = "fish.bmp";
// Single precision, as the pose is driven in degrees from float radians.
constexpr float DegreesPerRadian = 57.295776f;

// VTK draws layer 0 first and higher layers on top of it: the picture goes
// on the deepest layer, the fish and the path above it.
constexpr int BackgroundLayer = 0;
constexpr int SceneLayer = 1;

// Everything the program builds, owned by RunFishProgram for the whole run.
struct Scene
{
  vtkTrajectory* Trajectory = nullptr;
  vtkPoints* PathPoints = nullptr;
  vtkPolyData* PathPolyData = nullptr;
  vtkRenderWindow* Window = nullptr;
  vtkRenderer* SceneRenderer = nullptr;
  vtkPoints* KeyFramePoints = nullptr;

  vtkPolyData* KeyFramePolyData = nullptr;
  vtkSphereSource* MarkerSphere = nullptr;
  vtkGlyph3D* MarkerGlyphs = nullptr;
  vtkPolyDataMapper* MarkerMapper = nullptr;
  vtkActor* MarkerActor = nullptr;

  vtkCellArray* PathCells = nullptr;
  vtkTubeFilter* Tube = nullptr;
  vtkPolyDataMapper* TubeMapper = nullptr;
  vtkActor* TubeActor = nullptr;

  vtkBMPReader* BackgroundReader = nullptr;
  vtkImageActor* BackgroundActor = nullptr;
  vtkRenderer* BackgroundRenderer = nullptr;
  vtkRenderWindowInteractor* Interactor = nullptr;

  vtkPolyDataReader* FishReader = nullptr;
  vtkTextureMapToCylinder* SkinMapping = nullptr;
  vtkShapeTransform* ShapeTransform = nullptr;
  vtkTransformPolyDataFilter* ShapeFilter = nullptr;
  vtkTransform* PoseTransform = nullptr;
  vtkTransformPolyDataFilter* PoseFilter = nullptr;
  vtkThreshold* TexturedPart = nullptr;
  vtkThreshold* ColouredPart = nullptr;
  vtkDataSetMapper* ColouredMapper = nullptr;
  vtkDataSetMapper* TexturedMapper = nullptr;
  vtkBMPReader* SkinReader = nullptr;
  vtkTexture* Skin = nullptr;
  vtkActor* TexturedActor = nullptr;
  vtkActor* ColouredActor = nullptr;

  int SampleCount = 0;
  float TimeStep = 0.0f;
};

//------------------------------------------------------------------------------
void CreateTrajectory(Scene& scene, const FishProgramConstants& constants)
{
  scene.Trajectory = vtkTrajectory::New();
  scene.PathPoints = vtkPoints::New();
  scene.PathPolyData = vtkPolyData::New();
  scene.Window = vtkRenderWindow::New();
  scene.SceneRenderer = vtkRenderer::New();
  scene.KeyFramePoints = vtkPoints::New();

  for (int i = 0; i < constants.NumberOfKeyFrames; ++i)
  {
    const FishKeyFrame& key = constants.KeyFrames[i];
    scene.Trajectory->AddKeyFrame(
      key.Time, key.X, key.Y, key.Z, key.Angle, key.Axis[0], key.Axis[1], key.Axis[2]);
  }
  scene.Trajectory->ClosedOn();
  scene.SampleCount = SamplesPerKeyFrame * scene.Trajectory->GetNumberOfKeyFrames();
}

//------------------------------------------------------------------------------
void SetShading(vtkActor* actor, double red, double green, double blue)
{
  vtkProperty* property = actor->GetProperty();
  property->SetDiffuseColor(red, green, blue);
  property->SetSpecular(0.3);
  property->SetSpecularPower(30);
}

//------------------------------------------------------------------------------
// One small sphere at the position the trajectory takes at each keyframe.
void BuildKeyFrameMarkers(Scene& scene)
{
  const int keyFrames = scene.Trajectory->GetNumberOfKeyFrames();
  for (int i = 0; i < keyFrames; ++i)
  {
    float x, y, z, angle, ax, ay, az;
    scene.Trajectory->EvaluateAtKeyFrame(i, x, y, z, angle, ax, ay, az);
    scene.KeyFramePoints->InsertPoint(i, x, y, z);
  }

  scene.KeyFramePolyData = vtkPolyData::New();
  scene.KeyFramePolyData->SetPoints(scene.KeyFramePoints);

  scene.MarkerSphere = vtkSphereSource::New();
  scene.MarkerSphere->SetRadius(0.04);
  scene.MarkerSphere->SetPhiResolution(10);
  scene.MarkerSphere->SetThetaResolution(10);

  scene.MarkerGlyphs = vtkGlyph3D::New();
  scene.MarkerGlyphs->SetInputData(scene.KeyFramePolyData);
  scene.MarkerGlyphs->SetSourceConnection(0, scene.MarkerSphere->GetOutputPort());

  scene.MarkerMapper = vtkPolyDataMapper::New();
  scene.MarkerMapper->SetInputConnection(scene.MarkerGlyphs->GetOutputPort());

  scene.MarkerActor = vtkActor::New();
  scene.MarkerActor->SetMapper(scene.MarkerMapper);
  SetShading(scene.MarkerActor, 1.0, 0.6, 0.6);
}

//------------------------------------------------------------------------------
// The path is one polyline through all samples, in sample order; its points
// are filled in by SamplePath.
void BuildPathTube(Scene& scene)
{
  scene.PathCells = vtkCellArray::New();
  scene.PathCells->InsertNextCell(scene.SampleCount);
  for (int id = 0; id < scene.SampleCount; ++id)
  {
    scene.PathCells->InsertCellPoint(id);
  }

  scene.PathPolyData->SetPoints(scene.PathPoints);
  scene.PathPolyData->SetLines(scene.PathCells);

  scene.Tube = vtkTubeFilter::New();
  scene.Tube->SetNumberOfSides(8);
  scene.Tube->SetInputData(scene.PathPolyData);
  scene.Tube->SetRadius(0.02);

  scene.TubeMapper = vtkPolyDataMapper::New();
  scene.TubeMapper->SetInputConnection(scene.Tube->GetOutputPort());

  scene.TubeActor = vtkActor::New();
  scene.TubeActor->SetMapper(scene.TubeMapper);
  SetShading(scene.TubeActor, 1.0, 1.0, 0.7);
}

//------------------------------------------------------------------------------
// VTK's bitmap reader crashes on some broken files. A picture that exists
// but that it cannot read safely is left out with a message, as a missing
// one is (which the reader itself reports).
bool PictureIsUsable(const char* fileName, const char* withoutIt)
{
  std::string problem;
  if (CheckBitmapFile(fileName, problem) != BitmapFileState::Unusable)
  {
    return true;
  }
  std::fprintf(stderr, "%s: %s; %s.\n", fileName, problem.c_str(), withoutIt);
  return false;
}

//------------------------------------------------------------------------------
void BuildBackground(Scene& scene)
{
  scene.BackgroundReader = vtkBMPReader::New();
  scene.BackgroundReader->SetFileName(BackgroundFileName);

  scene.BackgroundActor = vtkImageActor::New();
  scene.BackgroundActor->SetInterpolate(1);
  if (PictureIsUsable(BackgroundFileName, "the window shows no picture behind the fish"))
  {
    scene.BackgroundActor->GetMapper()->SetInputConnection(scene.BackgroundReader->GetOutputPort());
  }
  else
  {
    // The mapper keeps the empty picture for as long as it needs it.
    vtkNew<vtkImageData> noPicture;
    scene.BackgroundActor->GetMapper()->SetInputData(noPicture);
  }

  scene.BackgroundRenderer = vtkRenderer::New();
  scene.BackgroundRenderer->AddViewProp(scene.BackgroundActor);
}

//------------------------------------------------------------------------------
// Multisampling costs next to nothing where a GPU does it, but a software
// OpenGL renderer (Mesa's llvmpipe, softpipe or swrast: a virtual machine, a
// container, a machine without a display under Xvfb) shades every sample on
// the CPU, and there it more than doubles the frame. Which renderer draws is
// known only once the first render has made the OpenGL context, so it is
// asked then, by its name; the frames after it draw without multisampling on
// a software renderer. A renderer whose name cannot be read keeps the
// toolkit's default.
void DropMultisamplingOnSoftwareRenderer(vtkRenderWindow* window)
{
  auto* openGLWindow = vtkOpenGLRenderWindow::SafeDownCast(window);
  vtkOpenGLState* state = openGLWindow ? openGLWindow->GetState() : nullptr;
  if (!state)
  {
    return;
  }
  const std::string& renderer = state->GetRenderer();
  for (const char* software : { "llvmpipe", "softpipe", "swrast" })
  {
    if (renderer.find(software) != std::string::npos)
    {
      window->SetMultiSamples(0);
      return;
    }
  }
}

//------------------------------------------------------------------------------
void OpenWindow(Scene& scene, const FishProgramConstants& constants, const FishProgramRun& run)
{
  scene.Window->SetOffScreenRendering(run.OffScreen ? 1 : 0);
  scene.BackgroundRenderer->SetLayer(BackgroundLayer);
  scene.SceneRenderer->SetLayer(SceneLayer);
  scene.Window->SetNumberOfLayers(2);
  scene.Window->AddRenderer(scene.BackgroundRenderer);
  scene.Window->AddRenderer(scene.SceneRenderer);
  scene.Window->SetSize(constants.WindowWidth, constants.WindowHeight);
  // The first render creates the background camera and fits it to the
  // picture; the dolly below works on that camera.
  scene.Window->Render();
  DropMultisamplingOnSoftwareRenderer(scene.Window);

  vtkCamera* camera = scene.BackgroundRenderer->GetActiveCamera();
  camera->Dolly(2.2);
  const double distance = camera->GetDistance();
  camera->SetClippingRange(distance - 5.0, distance + 5.0);

  scene.BackgroundRenderer->SetInteractive(0);
  scene.SceneRenderer->SetInteractive(1);
  scene.Interactor = vtkRenderWindowInteractor::New();
  scene.Interactor->SetRenderWindow(scene.Window);
}

//------------------------------------------------------------------------------
// Samples the closed path from the first keyframe to one time unit past the
// last. Time grows by repeated single-precision addition, as the animation
// loop's clock does, so both visit the same times.
void SamplePath(Scene& scene)
{
  vtkTrajectory* trajectory = scene.Trajectory;
  const float firstTime = trajectory->GetKeyFrameTime(0);
  const float span =
    trajectory->GetKeyFrameTime(trajectory->GetNumberOfKeyFrames() - 1) - firstTime;
  const int closed = trajectory->GetClosed();
  scene.TimeStep = static_cast<float>((closed + span) / (scene.SampleCount - 1));

  float t = firstTime;
  for (int j = 0; j < scene.SampleCount; ++j)
  {
    float x, y, z, angle, ax, ay, az;
    trajectory->Evaluate(t, x, y, z, angle, ax, ay, az);
    scene.PathPoints->InsertPoint(j, x, y, z);
    t += scene.TimeStep;
  }
  scene.PathPolyData->Modified();
}

//------------------------------------------------------------------------------
// Keeps the cells whose scalar is at most 0 (lower) or at least 1 (upper).
vtkThreshold* NewCellScalarThreshold(vtkAlgorithmOutput* input, int function, double bound)
{
  vtkThreshold* threshold = vtkThreshold::New();
  threshold->SetInputConnection(input);
  threshold->SetThresholdFunction(function);
  if (function == vtkThreshold::THRESHOLD_LOWER)
  {
    threshold->SetLowerThreshold(bound);
  }
  else
  {
    threshold->SetUpperThreshold(bound);
  }
  threshold->SetInputArrayToProcess(
    0, 0, 0, vtkDataObject::FIELD_ASSOCIATION_CELLS, vtkDataSetAttributes::SCALARS);
  return threshold;
}

//------------------------------------------------------------------------------
// Reads the fish and wraps its skin round it along the body's axis.
void BuildFishSource(Scene& scene)
{
  scene.FishReader = vtkPolyDataReader::New();
  scene.FishReader->SetFileName(FishMeshFileName);

  scene.SkinMapping = vtkTextureMapToCylinder::New();
  scene.SkinMapping->AutomaticCylinderGenerationOff();
  scene.SkinMapping->SetPoint1(-0.518467f, 0.00019908f, -0.213065f);
  scene.SkinMapping->SetPoint2(0.97664f, 0.0240073f, -0.213065f);
  scene.SkinMapping->SetInputConnection(scene.FishReader->GetOutputPort());
}

//------------------------------------------------------------------------------
// The fish is bent first (in its own frame), then posed, then split by cell
// scalar into the textured body and the coloured fins and eyes. Returns false,
// after a message, when the mesh cannot be read or is not a fish mesh: VTK's
// reader trusts the file's counts and ids, so it is checked before and after
// reading.
bool BuildFishParts(Scene& scene)
{
  scene.ShapeFilter = vtkTransformPolyDataFilter::New();
  scene.ShapeFilter->SetInputConnection(scene.SkinMapping->GetOutputPort());
  scene.ShapeFilter->SetTransform(scene.ShapeTransform);

  scene.PoseFilter = vtkTransformPolyDataFilter::New();
  scene.PoseTransform = vtkTransform::New();
  scene.PoseFilter->SetInputConnection(scene.ShapeFilter->GetOutputPort());
  scene.PoseFilter->SetTransform(scene.PoseTransform);

  scene.TexturedPart =
    NewCellScalarThreshold(scene.PoseFilter->GetOutputPort(), vtkThreshold::THRESHOLD_LOWER, 0);
  scene.ColouredPart =
    NewCellScalarThreshold(scene.PoseFilter->GetOutputPort(), vtkThreshold::THRESHOLD_UPPER, 1);

  scene.ColouredMapper = vtkDataSetMapper::New();
  scene.ColouredMapper->SetInputConnection(scene.ColouredPart->GetOutputPort());
  scene.ColouredMapper->SetScalarModeToUseCellData();
  const std::string problem = ReadCheckedFishMeshFile(scene.FishReader, FishMeshFileName);
  if (!problem.empty())
  {
    std::fprintf(
      stderr, "%s: the fish mesh cannot be used: %s.\n", FishMeshFileName, problem.c_str());
    return false;
  }
  vtkDataArray* scalars = scene.FishReader->GetOutput()->GetCellData()->GetScalars();
  double range[2];
  scalars->GetRange(range, 0);
  scene.ColouredMapper->SetScalarRange(range[0], range[1]);

  scene.TexturedMapper = vtkDataSetMapper::New();
  scene.TexturedMapper->SetInputConnection(scene.TexturedPart->GetOutputPort());
  scene.TexturedMapper->SetScalarModeToUseCellData();
  scene.TexturedMapper->ScalarVisibilityOff(); // the skin shows unmodulated
  return true;
}

//------------------------------------------------------------------------------
void BuildFishActors(Scene& scene)
{
  scene.SkinReader = vtkBMPReader::New();
  scene.SkinReader->SetFileName(FishSkinFileName);
  scene.Skin = vtkTexture::New();
  scene.Skin->SetInputConnection(scene.SkinReader->GetOutputPort());

  scene.TexturedActor = vtkActor::New();
  scene.TexturedActor->SetMapper(scene.TexturedMapper);
  if (PictureIsUsable(FishSkinFileName, "the fish is drawn without its skin"))
  {
    scene.TexturedActor->SetTexture(scene.Skin);
  }
  scene.SceneRenderer->AddViewProp(scene.TexturedActor);

  scene.ColouredActor = vtkActor::New();
  scene.ColouredActor->SetMapper(scene.ColouredMapper);
  scene.ColouredActor->GetProperty()->SetInterpolation(VTK_GOURAUD);

  scene.SceneRenderer->SetBackground(0, 0, 0);
  scene.SceneRenderer->AddViewProp(scene.ColouredActor);
  // Frames the fish alone; the camera is placed explicitly further on.
  scene.SceneRenderer->ResetCamera();
}

//------------------------------------------------------------------------------
// The pose of the trajectory at time 0, without the fixed model turns that
// every animation frame adds.
void PlaceFishAtStart(Scene& scene)
{
  float x, y, z, angle, ax, ay, az;
  scene.Trajectory->Evaluate(0.0f, x, y, z, angle, ax, ay, az);
  scene.PoseTransform->Translate(x, y, z);
  scene.PoseTransform->RotateWXYZ(angle * DegreesPerRadian, ax, ay, az);
}

//------------------------------------------------------------------------------
void ShowPath(Scene& scene, const FishProgramConstants& constants)
{
  if (constants.ShowPath)
  {
    scene.SceneRenderer->AddViewProp(scene.MarkerActor);
    scene.SceneRenderer->AddViewProp(scene.TubeActor);
  }
}

//------------------------------------------------------------------------------
// A fixed view from the side and a little above the path's plane.
void PlaceSceneCamera(Scene& scene, const FishProgramConstants& constants)
{
  vtkCamera* camera = scene.SceneRenderer->GetActiveCamera();
  camera->Zoom(constants.CameraZoom);
  camera->SetPosition(9.07778, -7.80113, 2.72241);
  camera->SetFocalPoint(0, 0, -0.00685628);
  camera->SetViewUp(-0.197218, 0.111275, 0.974024);
  camera->SetClippingRange(6.39111, 19.6545);
}

//------------------------------------------------------------------------------
// The flexing amplitude rises by 1/11 per frame from 0 to 10/11 and falls
// back: a triangle wave of period 20 frames.
float AmplitudeOfFrame(int i)
{
  const int q = (i / 10) % 2;
  const int sign = q == 0 ? 1 : -1;
  return (sign * (i % 10) + 10 * q) * 0.09090909f;
}

//------------------------------------------------------------------------------
void ShowFrame(Scene& scene, int i, float t)
{
  char title[16];
  std::snprintf(title, sizeof(title), "%04d", i);
  scene.Window->SetWindowName(title);

  float x, y, z, angle, ax, ay, az;
  scene.Trajectory->Evaluate(t, x, y, z, angle, ax, ay, az);
  scene.ShapeTransform->SetAmplitude(AmplitudeOfFrame(i));

  // Pre-multiplied: a model point is turned 180 degrees about y, then 90
  // degrees about x (model +y up, model -x forward), then by the pose, and
  // last moved to the pose position.
  vtkTransform* pose = scene.PoseTransform;
  pose->Identity();
  pose->Translate(x, y, z);
  pose->RotateWXYZ(angle * DegreesPerRadian, ax, ay, az);
  pose->RotateWXYZ(90, 1, 0, 0);
  pose->RotateWXYZ(180, 0, 1, 0);

  scene.Window->Render();
}

//------------------------------------------------------------------------------
// Ten cycles rendered back to back; every cycle restarts the frame index and
// the clock, which advances by the path's time step in single precision.
void Animate(Scene& scene, const FishProgramConstants& constants, const FishProgramRun& run)
{
  const int framesPerCycle = constants.FramesPerCycle == FishProgramConstants::FramesPerPathSample
    ? scene.SampleCount
    : constants.FramesPerCycle;
  const int frames = run.Cycles * framesPerCycle;
  for (int cycle = 0; cycle < run.Cycles; ++cycle)
  {
    float t = 0.0f;
    for (int i = 0; i < framesPerCycle; ++i)
    {
      ShowFrame(scene, i, t);
      if (run.AfterFrame && !run.AfterFrame(scene.Window, cycle * framesPerCycle + i, frames))
      {
        return;
      }
      t += scene.TimeStep;
    }
  }
}

//------------------------------------------------------------------------------
// VTK 9.1's X interactor, left to itself, tears the window down when the user
// asks to leave (the window's close button or the exit key) and then goes on
// polling the closed display, which crashes. Ending the event loop ourselves
// lets Start return normally; the window is released with the scene.
void EndEventLoop(vtkObject* caller, unsigned long, void*, void*)
{
  static_cast<vtkRenderWindowInteractor*>(caller)->SetDone(true);
}

//------------------------------------------------------------------------------
void Interact(Scene& scene)
{
  vtkNew<vtkCallbackCommand> onExit;
  onExit->SetCallback(EndEventLoop);
  scene.Interactor->AddObserver(vtkCommand::ExitEvent, onExit);
  scene.Interactor->Initialize();
  scene.Interactor->Start();
}

//------------------------------------------------------------------------------
void DeleteScene(Scene& scene)
{
  scene.Trajectory->Delete();
  scene.PoseTransform->Delete();
  scene.PoseFilter->Delete();
  scene.SceneRenderer->Delete();
  scene.Window->Delete();
  scene.KeyFramePolyData->Delete();
  scene.TubeActor->Delete();
  scene.MarkerActor->Delete();
  scene.TubeMapper->Delete();
  scene.Tube->Delete();
  scene.PathPolyData->Delete();
  scene.PathCells->Delete();
  scene.MarkerMapper->Delete();
  scene.MarkerGlyphs->Delete();
  scene.MarkerSphere->Delete();
  scene.PathPoints->Delete();
  scene.KeyFramePoints->Delete();

  // The rest would go with the process; releasing it keeps leak checkers
  // quiet and lets the program run inside a longer-lived process.
  scene.Interactor->Delete();
  scene.BackgroundRenderer->Delete();
  scene.BackgroundActor->Delete();
  scene.BackgroundReader->Delete();
  scene.ColouredActor->Delete();
  scene.TexturedActor->Delete();
  scene.Skin->Delete();
  scene.SkinReader->Delete();
  scene.TexturedMapper->Delete();
  scene.ColouredMapper->Delete();
  scene.ColouredPart->Delete();
  scene.TexturedPart->Delete();
  scene.ShapeFilter->Delete();
  scene.ShapeTransform->Delete();
  scene.SkinMapping->Delete();
  scene.FishReader->Delete();
}
} // namespace

//------------------------------------------------------------------------------
int RunFishProgram(const FishProgramConstants& constants, const FishProgramRun& run)
{
  // Outlives every pipeline that runs the shape transform, which borrows it.
  DeformationData deformation;

  Scene scene;
  CreateTrajectory(scene, constants);
  BuildKeyFrameMarkers(scene);
  BuildPathTube(scene);
  BuildBackground(scene);
  OpenWindow(scene, constants, run);
  SamplePath(scene);

  BuildFishSource(scene);
  scene.ShapeTransform = vtkShapeTransform::New();
  if (ReadDeformationData(scene.ShapeTransform, deformation) == DeformationDataOutcome::Malformed)
  {
    return -1;
  }
  if (!BuildFishParts(scene))
  {
    return 1;
  }
  BuildFishActors(scene);
  ShowPath(scene, constants);
  scene.Window->Render();
  PlaceSceneCamera(scene, constants);
  PlaceFishAtStart(scene);
  scene.Window->Render();

  Animate(scene, constants, run);

  if (run.Interact)
  {
    Interact(scene);
  }
  DeleteScene(scene);
  return 0;
}
