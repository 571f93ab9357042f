/*=========================================================================

  Program:   Pelagrin data generator
  Module:    PreviewFish.cxx

=========================================================================*/
// preview_fish <data-dir> <png-prefix>
//
// Renders the generated fish the way the programs show it, for looking at
// the data: the cylindrical skin mapping, the bend of the deformation data
// at a given amplitude, the pose of a trajectory frame, the split into
// textured body and coloured parts, the scene camera and the underwater
// picture behind. Writes one PNG per view, named <png-prefix>-<view>.png:
// the programs' view at two poses and amplitudes 0 and 10/11, close-ups from
// the side, above, below and in front, and the background alone.

#include "FishBend.h"
#include "FishMesh.h"

#include <vtkActor.h>
#include <vtkBMPReader.h>
#include <vtkCamera.h>
#include <vtkCellData.h>
#include <vtkDataArray.h>
#include <vtkDataSetAttributes.h>
#include <vtkDataSetMapper.h>
#include <vtkImageActor.h>
#include <vtkImageMapper3D.h>
#include <vtkNew.h>
#include <vtkPNGWriter.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataReader.h>
#include <vtkProperty.h>
#include <vtkRenderWindow.h>
#include <vtkRenderer.h>
#include <vtkTexture.h>
#include <vtkTextureMapToCylinder.h>
#include <vtkThreshold.h>
#include <vtkTransform.h>
#include <vtkTransformPolyDataFilter.h>
#include <vtkWindowToImageFilter.h>

#include <cstdio>
#include <string>

namespace
{

struct View
{
  const char* Name;
  double Position[3];
  double AngleDegrees;
  double Amplitude;
  enum
  {
    Program,
    Side,
    Above,
    Below,
    Front
  } Camera;
};

void SetProgramCamera(vtkCamera* camera)
{
  camera->Zoom(1.1);
  camera->SetPosition(9.07778, -7.80113, 2.72241);
  camera->SetFocalPoint(0, 0, -0.00685628);
  camera->SetViewUp(-0.197218, 0.111275, 0.974024);
  camera->SetClippingRange(6.39111, 19.6545);
}

void SetCloseCamera(vtkCamera* camera, const View& view)
{
  const double* p = view.Position;
  camera->SetFocalPoint(p[0] + 0.2, p[1], p[2]);
  camera->SetViewAngle(30.0);
  switch (view.Camera)
  {
    case View::Side:
      camera->SetPosition(p[0] + 0.2, p[1] - 3.2, p[2] + 0.4);
      camera->SetViewUp(0, 0, 1);
      break;
    case View::Above:
      camera->SetPosition(p[0] + 0.2, p[1], p[2] + 3.2);
      camera->SetViewUp(0, 1, 0);
      break;
    case View::Below:
      camera->SetPosition(p[0] + 0.2, p[1], p[2] - 3.2);
      camera->SetViewUp(0, 1, 0);
      break;
    default:
      camera->SetFocalPoint(p[0], p[1], p[2]);
      camera->SetPosition(p[0] + 2.5, p[1] - 1.2, p[2] + 0.6);
      camera->SetViewUp(0, 0, 1);
      break;
  }
  camera->SetClippingRange(0.5, 20.0);
}

// Moves every point p of the mapped mesh to p - amplitude * d(p).
void Bend(vtkPolyData* straight, vtkPolyData* bent, const fishbend::Deformation& deformation,
  double amplitude)
{
  vtkPoints* points = bent->GetPoints();
  for (vtkIdType i = 0; i < straight->GetNumberOfPoints(); ++i)
  {
    double p[3];
    straight->GetPoint(i, p);
    const fishbend::Point d = deformation.ControlPoints.empty()
      ? fishbend::Point{}
      : fishbend::EvaluateDisplacement(deformation, { p[0], p[1], p[2] });
    points->SetPoint(i, p[0] - amplitude * d[0], p[1] - amplitude * d[1], p[2] - amplitude * d[2]);
  }
  points->Modified();
  bent->Modified();
}

void SetPose(vtkTransform* pose, const View& view)
{
  pose->Identity();
  pose->Translate(view.Position);
  pose->RotateWXYZ(view.AngleDegrees, 0, 0, 1);
  pose->RotateWXYZ(90, 1, 0, 0);
  pose->RotateWXYZ(180, 0, 1, 0);
}

void Screenshot(vtkRenderWindow* window, const std::string& path)
{
  vtkNew<vtkWindowToImageFilter> grab;
  grab->SetInput(window);
  grab->ReadFrontBufferOff();
  grab->Update();
  vtkNew<vtkPNGWriter> writer;
  writer->SetInputConnection(grab->GetOutputPort());
  writer->SetFileName(path.c_str());
  writer->Write();
  std::printf("%s\n", path.c_str());
}

vtkSmartPointer<vtkThreshold> CellThreshold(vtkAlgorithmOutput* input, double value, int function)
{
  auto threshold = vtkSmartPointer<vtkThreshold>::New();
  threshold->SetInputConnection(input);
  threshold->SetInputArrayToProcess(
    0, 0, 0, vtkDataObject::FIELD_ASSOCIATION_CELLS, vtkDataSetAttributes::SCALARS);
  threshold->SetLowerThreshold(value);
  threshold->SetUpperThreshold(value);
  threshold->SetThresholdFunction(function);
  return threshold;
}

} // namespace

int main(int argc, char* argv[])
{
  if (argc != 3)
  {
    std::fprintf(stderr, "usage: preview_fish <data-dir> <png-prefix>\n");
    return 2;
  }
  const std::string directory = std::string(argv[1]) + "/";
  const std::string prefix = argv[2];

  fishbend::Deformation deformation;
  if (!fishbend::ReadDeformationFile(directory + "fish.trc", deformation))
  {
    std::fprintf(stderr, "preview_fish: no usable fish.trc, the fish stays straight\n");
    deformation = fishbend::Deformation();
  }

  vtkNew<vtkPolyDataReader> reader;
  reader->SetFileName((directory + "fish.vtk").c_str());
  vtkNew<vtkTextureMapToCylinder> mapping;
  mapping->AutomaticCylinderGenerationOff();
  mapping->SetPoint1(
    fishmodel::CylinderPoint1[0], fishmodel::CylinderPoint1[1], fishmodel::CylinderPoint1[2]);
  mapping->SetPoint2(
    fishmodel::CylinderPoint2[0], fishmodel::CylinderPoint2[1], fishmodel::CylinderPoint2[2]);
  mapping->SetInputConnection(reader->GetOutputPort());
  mapping->Update();
  vtkPolyData* straight = vtkPolyData::SafeDownCast(mapping->GetOutput());
  if (!straight->GetCellData()->GetScalars())
  {
    std::fprintf(stderr, "preview_fish: %sfish.vtk has no cell scalars\n", directory.c_str());
    return 1;
  }
  vtkNew<vtkPolyData> bent;
  bent->DeepCopy(straight);

  vtkNew<vtkTransform> pose;
  vtkNew<vtkTransformPolyDataFilter> poseFilter;
  poseFilter->SetInputData(bent);
  poseFilter->SetTransform(pose);

  auto lower = CellThreshold(poseFilter->GetOutputPort(), 0.0, vtkThreshold::THRESHOLD_LOWER);
  auto upper = CellThreshold(poseFilter->GetOutputPort(), 1.0, vtkThreshold::THRESHOLD_UPPER);

  vtkNew<vtkDataSetMapper> colourMapper;
  colourMapper->SetInputConnection(upper->GetOutputPort());
  colourMapper->SetScalarModeToUseCellData();
  double range[2];
  straight->GetCellData()->GetScalars()->GetRange(range, 0);
  colourMapper->SetScalarRange(range[0], range[1]);

  vtkNew<vtkDataSetMapper> texturedMapper;
  texturedMapper->SetInputConnection(lower->GetOutputPort());
  texturedMapper->SetScalarModeToUseCellData();
  texturedMapper->ScalarVisibilityOff();

  vtkNew<vtkBMPReader> skinReader;
  skinReader->SetFileName((directory + "fish.bmp").c_str());
  vtkNew<vtkTexture> skin;
  skin->SetInputConnection(skinReader->GetOutputPort());

  vtkNew<vtkActor> texturedActor;
  texturedActor->SetMapper(texturedMapper);
  texturedActor->SetTexture(skin);
  vtkNew<vtkActor> colouredActor;
  colouredActor->SetMapper(colourMapper);
  colouredActor->GetProperty()->SetInterpolation(1);

  vtkNew<vtkBMPReader> backgroundReader;
  backgroundReader->SetFileName((directory + "underwater.bmp").c_str());
  vtkNew<vtkImageActor> backgroundActor;
  backgroundActor->SetInterpolate(1);
  backgroundActor->GetMapper()->SetInputConnection(backgroundReader->GetOutputPort());

  vtkNew<vtkRenderer> background;
  background->AddViewProp(backgroundActor);
  background->SetLayer(0);
  vtkNew<vtkRenderer> scene;
  scene->SetLayer(1);
  vtkNew<vtkRenderWindow> window;
  window->SetOffScreenRendering(1);
  window->SetNumberOfLayers(2);
  window->AddRenderer(background);
  window->AddRenderer(scene);
  window->SetSize(640, 480);
  window->Render();
  vtkCamera* backgroundCamera = background->GetActiveCamera();
  backgroundCamera->Dolly(2.2);
  const double distance = backgroundCamera->GetDistance();
  backgroundCamera->SetClippingRange(distance - 5.0, distance + 5.0);
  Screenshot(window, prefix + "-background.png");

  scene->SetBackground(0, 0, 0);
  scene->AddViewProp(texturedActor);
  scene->AddViewProp(colouredActor);
  scene->ResetCamera();
  window->Render();

  const double widest = 10.0 / 11.0;
  const View views[] = {
    { "eight-start", { -2, -2, 0 }, 0.0, 0.0, View::Program },
    { "eight-start-bent", { -2, -2, 0 }, 0.0, widest, View::Program },
    { "centre-turned", { 0, 0, 0 }, 90.0, 0.0, View::Program },
    { "centre-turned-bent", { 0, 0, 0 }, 90.0, widest, View::Program },
    { "side", { 0, 0, 0 }, 0.0, 0.0, View::Side },
    { "side-bent", { 0, 0, 0 }, 0.0, widest, View::Side },
    { "above", { 0, 0, 0 }, 0.0, 0.0, View::Above },
    { "above-bent", { 0, 0, 0 }, 0.0, widest, View::Above },
    { "below", { 0, 0, 0 }, 0.0, 0.0, View::Below },
    { "front", { 0, 0, 0 }, 0.0, widest, View::Front },
  };
  vtkNew<vtkCamera> programCamera;
  SetProgramCamera(programCamera);
  for (const View& view : views)
  {
    vtkCamera* camera = scene->GetActiveCamera();
    if (view.Camera == View::Program)
    {
      camera->DeepCopy(programCamera);
    }
    else
    {
      SetCloseCamera(camera, view);
    }
    Bend(straight, bent, deformation, view.Amplitude);
    SetPose(pose, view);
    window->Render();
    Screenshot(window, prefix + "-" + view.Name + ".png");
  }
  return 0;
}
