/*=========================================================================

  Program:   Pelagrin data generator
  Module:    MakeData.cxx

=========================================================================*/
// make_data <output-dir>
//
// Writes the programs' data files into the output directory: the background
// picture "underwater.bmp", the fish mesh "fish.vtk", its skin "fish.bmp" and
// the deformation data "fish.trc" fitted to the mesh. The output depends on
// nothing but this code, so every run writes the same files.

#include "FishBend.h"
#include "FishMesh.h"
#include "Pictures.h"

#include <vtkBMPWriter.h>
#include <vtkImageData.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataWriter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

bool WriteBitmap(vtkImageData* image, const std::string& path)
{
  vtkNew<vtkBMPWriter> writer;
  writer->SetInputData(image);
  writer->SetFileName(path.c_str());
  writer->Write();
  return writer->GetErrorCode() == 0;
}

bool WriteMesh(vtkPolyData* mesh, const std::string& path)
{
  vtkNew<vtkPolyDataWriter> writer;
  writer->SetInputData(mesh);
  writer->SetFileName(path.c_str());
  writer->SetFileTypeToBinary();
  writer->SetHeader("fish model");
  return writer->Write() == 1;
}

std::vector<fishbend::Point> MeshPoints(vtkPolyData* mesh)
{
  std::vector<fishbend::Point> points;
  for (vtkIdType i = 0; i < mesh->GetNumberOfPoints(); ++i)
  {
    double p[3];
    mesh->GetPoint(i, p);
    points.push_back({ p[0], p[1], p[2] });
  }
  return points;
}

double Length(const fishbend::Point& a)
{
  return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

// Fits the bend and checks it against the mesh: every point must have a
// control point within the support radius (a point without one would stay
// behind while its neighbours move), and the fitted field must follow the
// bend closely over the whole mesh.
bool FitBend(vtkPolyData* mesh, fishbend::Deformation& deformation)
{
  if (!fishbend::FitDeformation(deformation))
  {
    std::fprintf(stderr, "make_data: the bend's interpolation system cannot be solved\n");
    return false;
  }
  const std::vector<fishbend::Point> points = MeshPoints(mesh);
  const double farthest = fishbend::FarthestFromControlPoints(deformation, points);
  if (farthest > 0.9 * deformation.Radius)
  {
    std::fprintf(stderr,
      "make_data: a mesh point lies %g from the nearest control point (radius %g)\n", farthest,
      deformation.Radius);
    return false;
  }
  double largestError = 0.0;
  double largestMove = 0.0;
  for (const fishbend::Point& p : points)
  {
    const fishbend::Point target = fishbend::BendDisplacement(p);
    const fishbend::Point fitted = fishbend::EvaluateDisplacement(deformation, p);
    const fishbend::Point error{ fitted[0] - target[0], fitted[1] - target[1],
      fitted[2] - target[2] };
    largestError = std::max(largestError, Length(error));
    largestMove = std::max(largestMove, Length(target));
  }
  std::printf("make_data: %d control points, radius %g, farthest mesh point %.3f from them; "
              "full bend moves points up to %.3f, fitted field off by at most %.4f\n",
    static_cast<int>(deformation.ControlPoints.size()), deformation.Radius, farthest, largestMove,
    largestError);
  if (largestError > 0.1 * largestMove)
  {
    std::fprintf(stderr, "make_data: the fitted field does not follow the bend\n");
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char* argv[])
{
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: make_data <output-dir>\n");
    return 2;
  }
  const std::string directory = std::string(argv[1]) + "/";

  vtkSmartPointer<vtkPolyData> mesh = fishmodel::BuildFishMesh();
  fishbend::Deformation deformation;
  if (!FitBend(mesh, deformation))
  {
    return 1;
  }

  struct Output
  {
    const char* Name;
    bool Written;
  };
  const Output outputs[] = {
    { "underwater.bmp", WriteBitmap(pictures::PaintUnderwater(), directory + "underwater.bmp") },
    { "fish.vtk", WriteMesh(mesh, directory + "fish.vtk") },
    { "fish.bmp", WriteBitmap(pictures::PaintFishSkin(), directory + "fish.bmp") },
    { "fish.trc", fishbend::WriteDeformationFile(directory + "fish.trc", deformation) },
  };
  int status = 0;
  for (const Output& output : outputs)
  {
    if (!output.Written)
    {
      std::fprintf(stderr, "make_data: cannot write %s%s\n", directory.c_str(), output.Name);
      status = 1;
    }
  }
  return status;
}
