/*=========================================================================

  Program:   Pelagrin data generator
  Module:    Underwater.cxx

=========================================================================*/
#include "Pictures.h"
#include "Procedural.h"

#include <vtkImageData.h>

#include <algorithm>
#include <cmath>

namespace pictures
{
namespace
{

using procedural::Canvas;
using procedural::Colour;
using procedural::FractalNoise;
using procedural::Hash;
using procedural::Mix;
using procedural::SmoothStep;

constexpr double Aspect = static_cast<double>(UnderwaterWidth) / UnderwaterHeight;

// Picture coordinates: u across (0 left, 1 right), v down (0 top, 1 bottom).

// The open water: bright turquoise under the surface, deepening to dark
// blue, a little brighter on the side of the sun.
Colour WaterColour(double u, double v)
{
  const Colour surface{ 0.40, 0.80, 0.86 };
  const Colour shallow{ 0.10, 0.50, 0.66 };
  const Colour middle{ 0.03, 0.26, 0.46 };
  const Colour deep{ 0.01, 0.13, 0.30 };
  Colour c = Mix(surface, shallow, SmoothStep(0.0, 0.38, v));
  c = Mix(c, middle, SmoothStep(0.30, 0.72, v));
  c = Mix(c, deep, SmoothStep(0.65, 1.05, v));
  const double sunSide = std::exp(-std::pow((u - 0.42) / 0.40, 2.0)) * (1.0 - 0.7 * v);
  return c * (1.0 + 0.18 * sunSide);
}

// The water surface seen from below, along the top edge: a shimmering net.
double SurfaceShimmer(double u, double v)
{
  const double x = u * Aspect * 14.0 + 2.0 * FractalNoise(u * 6.0, v * 20.0, 3, 5u);
  const double y = v * 60.0;
  const procedural::CellDistances d = procedural::CellNoise(x, y, 17u);
  const double net = std::exp(-(d.Second - d.First) * 7.0);
  return net * (1.0 - SmoothStep(0.0, 0.09, v));
}

// Light shafts fanning out from the sun above the surface.
double LightShafts(double u, double v)
{
  const double sx = 0.40 * Aspect;
  const double sy = -0.45;
  const double angle = std::atan2(u * Aspect - sx, v - sy);
  double shafts = SmoothStep(0.48, 0.82, FractalNoise(angle * 22.0, 0.37, 3, 23u));
  // A few broad, bright ones.
  static const double Broad[] = { -0.42, -0.18, 0.05, 0.21, 0.47 };
  for (double centre : Broad)
  {
    shafts += 0.6 * std::exp(-std::pow((angle - centre) / 0.025, 2.0));
  }
  // Shafts flicker along their length and fade with depth.
  const double along = std::hypot(u * Aspect - sx, v - sy);
  const double flicker = 0.75 + 0.5 * FractalNoise(angle * 40.0, along * 3.0, 2, 29u);
  return shafts * flicker * std::exp(-2.3 * v) * (1.0 - SmoothStep(0.55, 0.85, v));
}

// The sea floor's edge against the open water.
double Horizon(double u)
{
  return 0.64 + 0.03 * std::sin(u * 5.3 + 0.6) + 0.05 * (FractalNoise(u * 5.0, 0.5, 3, 31u) - 0.5);
}

constexpr double VanishingV = 0.58;

// Sand seen through the water: ripples, grain and the dancing net of caustics.
Colour FloorColour(double u, double v)
{
  const double depth = (v - VanishingV) / (1.0 - VanishingV); // 1 at the bottom edge
  const double distance = 1.0 / std::max(depth, 0.05);
  const double x = (u - 0.5) * Aspect * distance;
  const double z = distance;

  const Colour sand{ 0.82, 0.75, 0.56 };
  const double warp = 2.5 * FractalNoise(x * 1.5, z * 1.5, 3, 37u);
  const double ripples = 0.5 + 0.5 * std::sin(x * 9.0 + z * 2.0 + warp);
  const double grain = FractalNoise(x * 40.0, z * 40.0, 2, 41u);
  Colour c = sand * (0.84 + 0.12 * ripples + 0.10 * (grain - 0.5));

  // Two layers of warped cellular noise: their bright edges form the net.
  double caustic = 0.0;
  const double scales[2] = { 2.0, 3.3 };
  for (int layer = 0; layer < 2; ++layer)
  {
    const double k = scales[layer];
    const uint32_t seed = 43u + 10u * static_cast<uint32_t>(layer);
    const double wx = x * k + 1.3 * FractalNoise(x * 0.8, z * 0.8, 3, seed);
    const double wz = z * k + 1.3 * FractalNoise(z * 0.8 + 5.0, x * 0.8, 3, seed + 4u);
    const procedural::CellDistances d = procedural::CellNoise(wx, wz, seed + 10u);
    caustic += std::exp(-(d.Second - d.First) * 7.0);
  }
  caustic = std::pow(0.5 * caustic, 1.5);
  c = c + Colour{ 0.55, 0.75, 0.70 } * (0.8 * caustic * std::min(1.0, depth * 1.4));

  // Water filters out the reds, and distance blends the floor into the water.
  c = c * Colour{ 0.45, 0.80, 0.90 };
  const double haze = 1.0 - std::exp(-(distance - 1.0) * 0.45);
  return Mix(c, WaterColour(u, v), 0.15 + 0.85 * haze);
}

// Rocks resting on the floor, each a lumpy dome.
struct Rock
{
  double U;      // centre across
  double Base;   // v of its foot
  double Width;  // half width in u
  double Height; // height in v
  uint32_t Seed;
};

const Rock Rocks[] = {
  { 0.10, 0.93, 0.16, 0.20, 1u },
  { 0.24, 0.90, 0.07, 0.08, 2u },
  { 0.17, 0.80, 0.06, 0.07, 3u },
  { 0.86, 0.88, 0.13, 0.16, 4u },
  { 0.74, 0.84, 0.05, 0.05, 5u },
  { 0.52, 0.74, 0.035, 0.03, 6u },
  { 0.61, 0.72, 0.025, 0.02, 7u },
  { 0.38, 0.97, 0.06, 0.05, 8u },
};

// Coverage (0 to 1) of a rock at a pixel, and its shading there.
bool RockAt(const Rock& rock, double u, double v, double& cover, Colour& colour)
{
  const double dx = (u - rock.U) / rock.Width;
  const double dy = (rock.Base - v) / rock.Height; // 0 at the foot, 1 at the top
  if (dy < -0.05 || std::abs(dx) > 1.3 || dy > 1.3)
  {
    return false;
  }
  const double lump = 0.12 * (FractalNoise(dx * 2.5, dy * 2.5, 3, rock.Seed * 59u) - 0.5);
  const double radius = std::sqrt(dx * dx + dy * dy * 1.1) + lump;
  const double edge = rock.Width * UnderwaterWidth;
  cover = 1.0 - SmoothStep(1.0 - 1.0 / edge, 1.0 + 1.0 / edge, radius);
  cover *= SmoothStep(-0.05, 0.02, dy);
  if (cover <= 0.0)
  {
    return false;
  }
  const Colour stone{ 0.52, 0.50, 0.44 };
  const Colour algae{ 0.20, 0.36, 0.16 };
  const double texture = FractalNoise(dx * 8.0, dy * 8.0, 4, rock.Seed * 61u);
  Colour c = Mix(stone, algae, SmoothStep(0.45, 0.75, texture) * 0.8);
  // Lit from above and a little from the left: bright on top, dark towards
  // the foot and the far side, with a sunlit rim along the top.
  const double top = std::pow(SmoothStep(-0.1, 1.0, dy), 0.8);
  const double rimLight = SmoothStep(0.75, 0.97, radius) * SmoothStep(0.45, 0.9, dy);
  const double light = 0.22 + 0.95 * top - 0.30 * dx * dx - 0.12 * dx + 0.35 * rimLight;
  c = c * std::max(0.12, light) * (0.80 + 0.4 * texture);
  const double speckle =
    SmoothStep(0.62, 0.8, FractalNoise(dx * 14.0, dy * 14.0, 2, rock.Seed * 67u));
  c = c + Colour{ 0.35, 0.45, 0.40 } * (0.5 * speckle * top);
  c = c * Colour{ 0.55, 0.85, 0.92 };
  const double distance = 1.0 / std::max((rock.Base - VanishingV) / (1.0 - VanishingV), 0.05);
  const double haze = 1.0 - std::exp(-(distance - 1.0) * 0.45);
  colour = Mix(c, WaterColour(u, v), 0.10 + 0.85 * haze);
  return true;
}

// Weed swaying up from the floor: strands as tapering wavy ribbons.
struct Weed
{
  double U;
  double Base;
  double Height;
  double Phase;
};

const Weed Weeds[] = {
  { 0.04, 0.95, 0.42, 0.0 },
  { 0.07, 0.94, 0.33, 1.3 },
  { 0.13, 0.90, 0.48, 2.1 },
  { 0.19, 0.86, 0.30, 0.7 },
  { 0.23, 0.88, 0.24, 2.9 },
  { 0.80, 0.85, 0.37, 1.9 },
  { 0.85, 0.86, 0.50, 0.4 },
  { 0.91, 0.88, 0.30, 2.5 },
  { 0.96, 0.92, 0.44, 1.1 },
};

double WeedCover(const Weed& weed, double u, double v)
{
  const double h = (weed.Base - v) / weed.Height; // 0 at the foot, 1 at the tip
  if (h < 0.0 || h > 1.0)
  {
    return 0.0;
  }
  const double centre = weed.U + 0.025 * h * std::sin(h * 5.0 + weed.Phase) + 0.01 * h;
  const double halfWidth = 0.009 * (1.0 - 0.75 * h) + 0.002;
  const double across = std::abs(u - centre) / halfWidth;
  return (1.0 - SmoothStep(0.8, 1.2, across)) * (1.0 - SmoothStep(0.9, 1.0, h));
}

Colour BackgroundAt(double u, double v)
{
  Colour c = WaterColour(u, v);
  c = Mix(c, Colour{ 0.80, 0.97, 1.0 }, 0.55 * SurfaceShimmer(u, v));

  const double horizon = Horizon(u);
  const double floorCover = SmoothStep(horizon - 0.004, horizon + 0.012, v);
  if (floorCover > 0.0)
  {
    c = Mix(c, FloorColour(u, v), floorCover);
  }
  for (const Weed& weed : Weeds)
  {
    const double cover = WeedCover(weed, u, v);
    if (cover > 0.0)
    {
      const double shade = 0.7 + 0.3 * (weed.Base - v) / weed.Height;
      const Colour green = Colour{ 0.10, 0.32, 0.14 } * shade;
      const double distance = 1.0 / std::max((weed.Base - VanishingV) / (1.0 - VanishingV), 0.05);
      const double haze = 1.0 - std::exp(-(distance - 1.0) * 0.45);
      c = Mix(c, Mix(green, WaterColour(u, v), 0.15 + 0.8 * haze), 0.9 * cover);
    }
  }
  for (const Rock& rock : Rocks)
  {
    double cover = 0.0;
    Colour colour;
    if (RockAt(rock, u, v, cover, colour))
    {
      c = Mix(c, colour, cover);
    }
  }

  // Light shafts lie in the water in front of the far floor.
  const double shafts = LightShafts(u, v);
  c = c + Colour{ 0.50, 0.80, 0.80 } * (0.30 * shafts);

  // Darker corners, as through a lens.
  const double r2 = std::pow((u - 0.5) * 1.2, 2.0) + std::pow(v - 0.45, 2.0);
  return c * (1.0 - 0.45 * r2);
}

void DrawBubble(Canvas& canvas, double cx, double cy, double radius)
{
  const int x0 = static_cast<int>(std::floor(cx - radius - 2));
  const int x1 = static_cast<int>(std::ceil(cx + radius + 2));
  const int y0 = static_cast<int>(std::floor(cy - radius - 2));
  const int y1 = static_cast<int>(std::ceil(cy + radius + 2));
  const Colour rimColour{ 0.85, 0.97, 1.0 };
  for (int y = y0; y <= y1; ++y)
  {
    for (int x = x0; x <= x1; ++x)
    {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double inside = 1.0 - SmoothStep(radius - 0.5, radius + 0.7, d);
      const double rim = SmoothStep(radius - 1.6, radius - 0.3, d) * inside;
      const double hx = x + 0.5 - (cx - 0.38 * radius);
      const double hy = y + 0.5 - (cy - 0.38 * radius);
      const double highlight = 1.0 - SmoothStep(0.0, 0.28 * radius + 0.6, std::hypot(hx, hy));
      canvas.Blend(x, y, rimColour, 0.10 * inside + 0.55 * rim + 0.85 * highlight);
    }
  }
}

// Columns of bubbles rising from the floor, growing as they rise.
void DrawBubbles(Canvas& canvas)
{
  struct Column
  {
    double U;
    double Base;
    int Count;
    uint32_t Seed;
  };
  const Column columns[] = { { 0.68, 0.80, 26, 71u }, { 0.30, 0.86, 18, 73u },
    { 0.47, 0.72, 9, 79u } };
  for (const Column& column : columns)
  {
    double v = column.Base;
    for (int i = 0; i < column.Count; ++i)
    {
      const double rise = 1.0 - v / column.Base; // 0 at the floor
      v -= 0.018 + 0.035 * Hash(i, 1, column.Seed);
      if (v < 0.04)
      {
        break;
      }
      const double wobble =
        0.014 * std::sin(v * 23.0 + column.Seed) + 0.006 * std::sin(i * 2.7) + 0.025 * rise * rise;
      const double radius =
        (2.0 + 5.0 * rise + 3.0 * Hash(i, 2, column.Seed)) * UnderwaterHeight / 768.0;
      DrawBubble(canvas, (column.U + wobble) * UnderwaterWidth, v * UnderwaterHeight, radius);
    }
  }
}

// Particles drifting in the water.
void DrawParticles(Canvas& canvas)
{
  for (int i = 0; i < 450; ++i)
  {
    const double cx = Hash(i, 0, 83u) * UnderwaterWidth;
    const double v = std::pow(Hash(i, 1, 83u), 1.3);
    const double cy = v * UnderwaterHeight * 0.85;
    const double radius = 0.5 + 1.3 * std::pow(Hash(i, 2, 83u), 3.0);
    const double strength = (0.12 + 0.35 * Hash(i, 3, 83u)) * (1.0 - 0.5 * v);
    for (int y = static_cast<int>(cy - 3); y <= static_cast<int>(cy + 3); ++y)
    {
      for (int x = static_cast<int>(cx - 3); x <= static_cast<int>(cx + 3); ++x)
      {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        const double cover = 1.0 - SmoothStep(radius * 0.5, radius + 0.6, d);
        canvas.Blend(x, y, Colour{ 0.80, 0.92, 0.90 }, strength * cover);
      }
    }
  }
}

} // namespace

vtkSmartPointer<vtkImageData> PaintUnderwater()
{
  Canvas canvas(UnderwaterWidth, UnderwaterHeight);
  for (int row = 0; row < UnderwaterHeight; ++row)
  {
    const double v = (row + 0.5) / UnderwaterHeight;
    for (int column = 0; column < UnderwaterWidth; ++column)
    {
      const double u = (column + 0.5) / UnderwaterWidth;
      canvas.At(column, row) = BackgroundAt(u, v);
    }
  }
  DrawParticles(canvas);
  DrawBubbles(canvas);
  return canvas.ToImage(true);
}

} // namespace pictures
