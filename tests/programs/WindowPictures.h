/*=========================================================================

  Program:   Fish animation programs
  Module:    WindowPictures.h

=========================================================================*/
/**
 * Reading what a program's window shows: its pixels, where a world point
 * lands in it, and which pixel of the background picture lies under a
 * window pixel.
 */

#ifndef WindowPictures_h
#define WindowPictures_h

#include "vtkNew.h"

#include <array>

class vtkImageData;
class vtkRenderWindow;
class vtkRenderer;

typedef std::array<int, 3> Colour;

/**
 * What the window shows, read back after rendering it again.
 */
class Screenshot
{
public:
  explicit Screenshot(vtkRenderWindow* window);
  ~Screenshot();

  int GetWidth() const { return this->Width; }
  int GetHeight() const { return this->Height; }
  bool Contains(int x, int y) const
  {
    return x >= 0 && y >= 0 && x < this->Width && y < this->Height;
  }
  // Pixel (x, y), counted from the bottom left.
  Colour At(int x, int y) const;
  bool SavePNG(const char* fileName) const;

private:
  int Width = 0;
  int Height = 0;
  vtkImageData* Image;
};

/**
 * Display coordinates (pixels from the bottom left) of a world point seen
 * by the renderer's camera.
 */
std::array<double, 2> Project(vtkRenderer* renderer, const double world[3]);

/**
 * The pixel of the background picture under window pixel (x, y); false
 * outside the picture. The picture lies in the plane z = 0 with its pixel
 * (i, j) at (i, j), as a vtkImageActor shows an image read from a file.
 */
bool PicturePixelUnder(
  vtkRenderer* background, vtkImageData* picture, int x, int y, Colour& colour);

/**
 * The largest difference of the three channels.
 */
int ColourDistance(const Colour& a, const Colour& b);

#endif
