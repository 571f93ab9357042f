/*=========================================================================

  Program:   Pelagrin data generator
  Module:    FishSkin.cxx

=========================================================================*/
#include "FishMesh.h"
#include "Pictures.h"
#include "Procedural.h"

#include <vtkImageData.h>

#include <algorithm>
#include <cmath>

namespace pictures
{
namespace
{

using procedural::Colour;
using procedural::Mix;
using procedural::SmoothStep;

constexpr double Pi = 3.14159265358979323846;

// Model x of texture row coordinate t (the mapping's axis is nearly along x).
double ModelX(double t)
{
  using fishmodel::CylinderPoint1;
  using fishmodel::CylinderPoint2;
  return CylinderPoint1[0] + t * (CylinderPoint2[0] - CylinderPoint1[0]);
}

// Countershading: cream belly, golden flanks, olive back.
Colour BaseColour(double s)
{
  const Colour belly{ 0.95, 0.93, 0.84 };
  const Colour flank{ 0.84, 0.76, 0.40 };
  const Colour upper{ 0.52, 0.56, 0.26 };
  const Colour back{ 0.20, 0.28, 0.14 };
  Colour c = Mix(belly, flank, SmoothStep(0.22, 0.48, s));
  c = Mix(c, upper, SmoothStep(0.55, 0.78, s));
  return Mix(c, back, SmoothStep(0.78, 0.98, s));
}

// Dark vertical bars from the back down the flanks, tapering downwards.
double BarShade(double x, double s)
{
  static const double Centres[] = { -0.17, -0.03, 0.10, 0.23, 0.36, 0.49, 0.61 };
  double darkest = 0.0;
  for (int k = 0; k < 7; ++k)
  {
    const double reach = 0.30 + 0.04 * std::sin(2.1 * k); // lower end of the bar, in s
    const double depth = SmoothStep(reach, reach + 0.22, s);
    const double halfWidth = (0.012 + 0.022 * depth) * (k == 6 ? 0.7 : 1.0);
    const double centre = Centres[k] + 0.012 * std::sin(9.0 * s + 1.7 * k);
    const double inside = 1.0 - SmoothStep(halfWidth * 0.5, halfWidth, std::abs(x - centre));
    darkest = std::max(darkest, inside * depth);
  }
  return 1.0 - 0.55 * darkest;
}

// Scales: overlapping discs in staggered rows. Each point shows the most
// forward disc that covers it, as the front scale lies over the one behind
// it; so each scale shows its rear arc as a darker rim, its middle a little
// lighter. Soft, so that the picture stays calm when the programs shrink it
// on screen.
double ScaleShade(double x, double s)
{
  constexpr double ScalesAround = 14.0;
  constexpr double ScaleLength = 0.04;
  constexpr double DiscRadius = 0.72; // in scale units; covers the lattice
  const double along = x / ScaleLength;
  const double across = s * ScalesAround;
  double ownerAlong = 1e9;
  double ownerDistance = DiscRadius;
  for (int row = static_cast<int>(std::floor(across)) - 1; row <= std::floor(across) + 1; ++row)
  {
    const double stagger = (row % 2 == 0) ? 0.0 : 0.5;
    const double centreAcross = row + 0.5;
    for (int k = static_cast<int>(std::floor(along - stagger)) - 1;
         k <= std::floor(along - stagger) + 1; ++k)
    {
      const double centreAlong = k + stagger + 0.5;
      const double d = std::hypot(along - centreAlong, across - centreAcross);
      if (d < DiscRadius && centreAlong < ownerAlong)
      {
        ownerAlong = centreAlong;
        ownerDistance = d;
      }
    }
  }
  const double f = ownerDistance / DiscRadius;
  const double rear = SmoothStep(-0.35, 0.25, along - ownerAlong);
  const double rim = SmoothStep(0.70, 0.95, f) * rear;
  const double face = 1.0 - SmoothStep(0.0, 0.6, f);
  return 1.0 + 0.07 * face - 0.22 * rim;
}

// Where the scales begin: just behind the gill cover.
double GillCoverX(double s)
{
  return -0.33 + 0.045 * std::sin(Pi * (0.15 + 0.8 * s));
}

Colour SkinColour(double s, double t)
{
  const double x = ModelX(t);
  Colour c = BaseColour(s);

  // Mottling.
  const double mottle = procedural::FractalNoise(x * 28.0, s * 9.0, 4, 11u);
  c = c * (0.90 + 0.20 * mottle);

  // Scales on the trunk, fading in behind the gill cover.
  const double gill = GillCoverX(s);
  const double trunk = SmoothStep(gill, gill + 0.03, x);
  c = c * Mix(1.0, ScaleShade(x, s), trunk);
  c = c * Mix(1.0, BarShade(x, s), trunk);

  // Gill cover edge: a dark line with a light rim behind it.
  const double fromEdge = x - gill;
  c = c * (1.0 - 0.45 * (1.0 - SmoothStep(0.0, 0.008, std::abs(fromEdge + 0.004))));
  c = Mix(c, Colour{ 0.95, 0.90, 0.70 },
    0.35 * (1.0 - SmoothStep(0.0, 0.012, std::abs(fromEdge - 0.010))) *
      (1.0 - SmoothStep(0.6, 0.9, s)));

  // Lateral line: a thin pale line along the upper flank.
  const double lineS = 0.70 - 0.05 * (x + 0.3);
  const double onLine = (1.0 - SmoothStep(0.004, 0.012, std::abs(s - lineS))) * trunk *
    (1.0 - SmoothStep(0.60, 0.72, x));
  c = Mix(c, Colour{ 0.86, 0.84, 0.62 }, 0.30 * onLine);

  // Mouth: a dark slit from the snout back, a little below the middle.
  const double mouthEnd = -0.455;
  const double mouthS = 0.45 - 0.6 * (x - fishmodel::SnoutX);
  const double onMouth = (1.0 - SmoothStep(0.025, 0.05, std::abs(s - mouthS))) *
    (1.0 - SmoothStep(mouthEnd - 0.006, mouthEnd, x));
  c = Mix(c, Colour{ 0.18, 0.12, 0.10 }, 0.85 * onMouth);

  // A faint golden sheen on the gill cover.
  const double cheek = (1.0 - SmoothStep(0.0, 0.06, std::abs(x + 0.37))) *
    (1.0 - SmoothStep(0.12, 0.22, std::abs(s - 0.48)));
  return Mix(c, Colour{ 0.92, 0.78, 0.38 }, 0.25 * cheek);
}

} // namespace

vtkSmartPointer<vtkImageData> PaintFishSkin()
{
  procedural::Canvas canvas(SkinWidth, SkinHeight);
  for (int row = 0; row < SkinHeight; ++row)
  {
    const double t = (row + 0.5) / SkinHeight;
    for (int column = 0; column < SkinWidth; ++column)
    {
      const double s = (column + 0.5) / SkinWidth;
      canvas.At(column, row) = SkinColour(s, t);
    }
  }
  // Canvas row 0 is t = 0, which is image row 0 for the texture.
  return canvas.ToImage(false);
}

} // namespace pictures
