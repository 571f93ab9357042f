/*=========================================================================

  Program:   Pelagrin data generator
  Module:    Procedural.h

=========================================================================*/
/**
 * Small deterministic helpers for painting pictures procedurally: colours,
 * blending, an integer hash, value noise, fractal noise and cellular noise,
 * and an RGB canvas that becomes a vtkImageData for the bitmap writer.
 *
 * Everything here depends only on its arguments, so the generated pictures
 * are the same on every run.
 */

#ifndef Procedural_h
#define Procedural_h

#include <vtkSmartPointer.h>

#include <cstdint>
#include <vector>

class vtkImageData;

namespace procedural
{

struct Colour
{
  double R = 0.0;
  double G = 0.0;
  double B = 0.0;
};

Colour operator+(const Colour& a, const Colour& b);
Colour operator*(const Colour& c, double f);
Colour operator*(const Colour& a, const Colour& b);

double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double v);
double Mix(double a, double b, double f);
Colour Mix(const Colour& a, const Colour& b, double f);

/** Uniform value in [0, 1) from integer coordinates and a seed. */
double Hash(int x, int y, uint32_t seed);

/** Smooth value noise in [0, 1] with unit lattice spacing. */
double ValueNoise(double x, double y, uint32_t seed);

/** Sum of value-noise octaves, normalised to [0, 1]. */
double FractalNoise(double x, double y, int octaves, uint32_t seed);

/**
 * Cellular noise over a jittered unit grid: distances to the nearest and
 * second nearest feature points.
 */
struct CellDistances
{
  double First = 0.0;
  double Second = 0.0;
};
CellDistances CellNoise(double x, double y, uint32_t seed);

/** RGB picture with row 0 at the top, as a person reads it. */
class Canvas
{
public:
  Canvas(int width, int height);

  int GetWidth() const { return this->Width; }
  int GetHeight() const { return this->Height; }

  Colour& At(int column, int row) { return this->Pixels[this->Index(column, row)]; }
  const Colour& At(int column, int row) const { return this->Pixels[this->Index(column, row)]; }

  /** Blend a colour into a pixel with the given opacity; ignores pixels off the canvas. */
  void Blend(int column, int row, const Colour& colour, double opacity);

  /**
   * 8-bit RGB image for vtkBMPWriter. With topRowFirst the picture's top
   * row becomes the image's last row, since bitmap readers put image row 0
   * at the bottom; without it canvas row 0 stays image row 0.
   */
  vtkSmartPointer<vtkImageData> ToImage(bool topRowFirst) const;

private:
  size_t Index(int column, int row) const
  {
    return static_cast<size_t>(row) * static_cast<size_t>(this->Width) +
      static_cast<size_t>(column);
  }

  int Width;
  int Height;
  std::vector<Colour> Pixels;
};

} // namespace procedural

#endif
