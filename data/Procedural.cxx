/*=========================================================================

  Program:   Pelagrin data generator
  Module:    Procedural.cxx

=========================================================================*/
#include "Procedural.h"

#include <vtkImageData.h>

#include <algorithm>
#include <cmath>

namespace procedural
{

Colour operator+(const Colour& a, const Colour& b)
{
  return { a.R + b.R, a.G + b.G, a.B + b.B };
}

Colour operator*(const Colour& c, double f)
{
  return { c.R * f, c.G * f, c.B * f };
}

Colour operator*(const Colour& a, const Colour& b)
{
  return { a.R * b.R, a.G * b.G, a.B * b.B };
}

double Clamp01(double v)
{
  return std::min(1.0, std::max(0.0, v));
}

double SmoothStep(double edge0, double edge1, double v)
{
  const double f = Clamp01((v - edge0) / (edge1 - edge0));
  return f * f * (3.0 - 2.0 * f);
}

double Mix(double a, double b, double f)
{
  return a + (b - a) * f;
}

Colour Mix(const Colour& a, const Colour& b, double f)
{
  return { Mix(a.R, b.R, f), Mix(a.G, b.G, f), Mix(a.B, b.B, f) };
}

double Hash(int x, int y, uint32_t seed)
{
  // A few rounds of integer mixing; unsigned arithmetic wraps by definition.
  uint32_t h = seed * 0x9E3779B9u;
  h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return static_cast<double>(h >> 8) / 16777216.0;
}

double ValueNoise(double x, double y, uint32_t seed)
{
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const double sx = SmoothStep(0.0, 1.0, x - fx);
  const double sy = SmoothStep(0.0, 1.0, y - fy);
  const double top = Mix(Hash(ix, iy, seed), Hash(ix + 1, iy, seed), sx);
  const double bottom = Mix(Hash(ix, iy + 1, seed), Hash(ix + 1, iy + 1, seed), sx);
  return Mix(top, bottom, sy);
}

double FractalNoise(double x, double y, int octaves, uint32_t seed)
{
  double sum = 0.0;
  double weight = 1.0;
  double total = 0.0;
  for (int octave = 0; octave < octaves; ++octave)
  {
    sum += weight * ValueNoise(x, y, seed + static_cast<uint32_t>(octave) * 101u);
    total += weight;
    weight *= 0.5;
    x *= 2.03;
    y *= 2.03;
  }
  return sum / total;
}

CellDistances CellNoise(double x, double y, uint32_t seed)
{
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  CellDistances result{ 1e9, 1e9 };
  for (int dy = -1; dy <= 1; ++dy)
  {
    for (int dx = -1; dx <= 1; ++dx)
    {
      const int cx = ix + dx;
      const int cy = iy + dy;
      const double px = cx + Hash(cx, cy, seed);
      const double py = cy + Hash(cx, cy, seed + 7u);
      const double d = std::hypot(px - x, py - y);
      if (d < result.First)
      {
        result.Second = result.First;
        result.First = d;
      }
      else if (d < result.Second)
      {
        result.Second = d;
      }
    }
  }
  return result;
}

Canvas::Canvas(int width, int height)
  : Width(width)
  , Height(height)
  , Pixels(static_cast<size_t>(width) * static_cast<size_t>(height))
{
}

void Canvas::Blend(int column, int row, const Colour& colour, double opacity)
{
  if (column < 0 || row < 0 || column >= this->Width || row >= this->Height)
  {
    return;
  }
  Colour& pixel = this->At(column, row);
  pixel = Mix(pixel, colour, Clamp01(opacity));
}

vtkSmartPointer<vtkImageData> Canvas::ToImage(bool topRowFirst) const
{
  auto image = vtkSmartPointer<vtkImageData>::New();
  image->SetDimensions(this->Width, this->Height, 1);
  image->AllocateScalars(VTK_UNSIGNED_CHAR, 3);
  auto* bytes = static_cast<unsigned char*>(image->GetScalarPointer());
  for (int row = 0; row < this->Height; ++row)
  {
    const int imageRow = topRowFirst ? this->Height - 1 - row : row;
    for (int column = 0; column < this->Width; ++column)
    {
      const Colour& c = this->At(column, row);
      unsigned char* out = bytes + 3 * (static_cast<size_t>(imageRow) * this->Width + column);
      out[0] = static_cast<unsigned char>(std::lround(255.0 * Clamp01(c.R)));
      out[1] = static_cast<unsigned char>(std::lround(255.0 * Clamp01(c.G)));
      out[2] = static_cast<unsigned char>(std::lround(255.0 * Clamp01(c.B)));
    }
  }
  return image;
}

} // namespace procedural
