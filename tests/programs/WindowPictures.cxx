/*=========================================================================

  Program:   Fish animation programs
  Module:    WindowPictures.cxx

=========================================================================*/
#include "WindowPictures.h"

#include "vtkImageData.h"
#include "vtkPNGWriter.h"
#include "vtkRenderWindow.h"
#include "vtkRenderer.h"
#include "vtkWindowToImageFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

//------------------------------------------------------------------------------
Screenshot::Screenshot(vtkRenderWindow* window)
  : Image(vtkImageData::New())
{
  vtkNew<vtkWindowToImageFilter> grab;
  grab->SetInput(window);
  grab->SetInputBufferTypeToRGB();
  grab->ReadFrontBufferOff();
  grab->Update();
  this->Image->DeepCopy(grab->GetOutput());
  this->Width = this->Image->GetDimensions()[0];
  this->Height = this->Image->GetDimensions()[1];
}

//------------------------------------------------------------------------------
Screenshot::~Screenshot()
{
  this->Image->Delete();
}

//------------------------------------------------------------------------------
Colour Screenshot::At(int x, int y) const
{
  auto* p = static_cast<unsigned char*>(this->Image->GetScalarPointer(x, y, 0));
  return { p[0], p[1], p[2] };
}

//------------------------------------------------------------------------------
bool Screenshot::SavePNG(const char* fileName) const
{
  vtkNew<vtkPNGWriter> writer;
  writer->SetInputData(this->Image);
  writer->SetFileName(fileName);
  writer->Write();
  return writer->GetErrorCode() == 0;
}

//------------------------------------------------------------------------------
std::array<double, 2> Project(vtkRenderer* renderer, const double world[3])
{
  renderer->SetWorldPoint(world[0], world[1], world[2], 1.0);
  renderer->WorldToDisplay();
  const double* display = renderer->GetDisplayPoint();
  return { display[0], display[1] };
}

//------------------------------------------------------------------------------
bool PicturePixelUnder(vtkRenderer* background, vtkImageData* picture, int x, int y, Colour& colour)
{
  // The ray through the pixel, from the near to the far plane, meets z = 0.
  double ends[2][3];
  for (int k = 0; k < 2; ++k)
  {
    background->SetDisplayPoint(x, y, k);
    background->DisplayToWorld();
    const double* w = background->GetWorldPoint();
    for (int c = 0; c < 3; ++c)
    {
      ends[k][c] = w[c] / w[3];
    }
  }
  const double s = ends[0][2] / (ends[0][2] - ends[1][2]);
  const int i = static_cast<int>(std::lround(ends[0][0] + s * (ends[1][0] - ends[0][0])));
  const int j = static_cast<int>(std::lround(ends[0][1] + s * (ends[1][1] - ends[0][1])));
  const int* dims = picture->GetDimensions();
  if (i < 0 || j < 0 || i >= dims[0] || j >= dims[1])
  {
    return false;
  }
  auto* p = static_cast<unsigned char*>(picture->GetScalarPointer(i, j, 0));
  colour = { p[0], p[1], p[2] };
  return true;
}

//------------------------------------------------------------------------------
int ColourDistance(const Colour& a, const Colour& b)
{
  int largest = 0;
  for (int c = 0; c < 3; ++c)
  {
    largest = std::max(largest, std::abs(a[c] - b[c]));
  }
  return largest;
}
