/*=========================================================================

  Program:   Motion library
  Module:    vtkShapeTransform.cxx

=========================================================================*/
#include "vtkShapeTransform.h"

#include "vtkDataArray.h"
#include "vtkFloatArray.h"
#include "vtkIdList.h"
#include "vtkMath.h"
#include "vtkObjectFactory.h"
#include "vtkPointLocator.h"
#include "vtkPoints.h"

#include <cmath>

vtkObjectFactoryNewMacro(vtkShapeTransform);

namespace
{
// out = p - amplitude * d over count floats. The restrict qualifiers let the
// compiler vectorise the loop without runtime overlap checks.
void SubtractScaled(const float* __restrict p, const float* __restrict d, float amplitude,
  float* __restrict out, vtkIdType count)
{
  for (vtkIdType k = 0; k < count; ++k)
  {
    out[k] = p[k] - amplitude * d[k];
  }
}

// Make room for n more points at the end of points, keeping those already
// there. SetNumberOfPoints alone would discard them.
void GrowBy(vtkPoints* points, vtkIdType n)
{
  const vtkIdType start = points->GetNumberOfPoints();
  if (start == 0)
  {
    points->SetNumberOfPoints(n);
  }
  else if (n > 0)
  {
    points->InsertPoint(start + n - 1, 0.0, 0.0, 0.0);
  }
}

void CopyIfPresent(vtkDataArray* from, vtkDataArray* to)
{
  if (from && to)
  {
    to->DeepCopy(from);
  }
}
}

//------------------------------------------------------------------------------
vtkShapeTransform::vtkShapeTransform()
{
  this->Radius = 0.0f;
  this->ControlPoints = nullptr;
  this->Displacements = vtkPoints::New();
  this->DisplacementsCached = false;
  this->Configured = false;
  this->CoefficientsX = nullptr;
  this->CoefficientsY = nullptr;
  this->CoefficientsZ = nullptr;
  this->CoefficientIndex = nullptr;
  this->Locator = nullptr;
  // The programs run the pipeline before the first frame sets an amplitude;
  // zero shows the shape unbent until then.
  this->Amplitude = 0.0f;
  this->NeighbourIds = vtkIdList::New();
  this->NeighbourIds->Allocate(300, 0);
}

//------------------------------------------------------------------------------
vtkShapeTransform::~vtkShapeTransform()
{
  this->NeighbourIds->Delete();
  this->Displacements->Delete();
}

//------------------------------------------------------------------------------
void vtkShapeTransform::SetDeformationData(float radius, vtkPoints* controlPoints,
  float* coefficientsX, float* coefficientsY, float* coefficientsZ, int* coefficientIndex,
  vtkPointLocator* locator)
{
  this->Radius = radius;
  this->ControlPoints = controlPoints;
  this->CoefficientsX = coefficientsX;
  this->CoefficientsY = coefficientsY;
  this->CoefficientsZ = coefficientsZ;
  this->CoefficientIndex = coefficientIndex;
  this->Locator = locator;
  this->Configured = true;
  this->DisplacementsCached = false;
  this->Displacements->Delete();
  this->Displacements = vtkPoints::New();
}

//------------------------------------------------------------------------------
void vtkShapeTransform::SetAmplitude(float amplitude)
{
  this->Amplitude = amplitude;
  this->Modified();
}

//------------------------------------------------------------------------------
void vtkShapeTransform::TransformPoints(vtkPoints* inPts, vtkPoints* outPts)
{
  const vtkIdType n = inPts->GetNumberOfPoints();
  this->Update();

  const vtkIdType outStart = outPts->GetNumberOfPoints();
  if (!this->Configured)
  {
    outPts->InsertPoints(outStart, n, 0, inPts);
    return;
  }

  // The cache is read by point index, so it only serves an input of the
  // size it was computed for.
  GrowBy(outPts, n);
  if (this->DisplacementsCached && this->Displacements->GetNumberOfPoints() == n)
  {
    this->ApplyCachedDisplacements(inPts, outPts, outStart);
  }
  else
  {
    this->ComputeDisplacements(inPts, outPts, outStart);
  }
  outPts->Modified();
}

//------------------------------------------------------------------------------
void vtkShapeTransform::ApplyCachedDisplacements(
  vtkPoints* inPts, vtkPoints* outPts, vtkIdType outStart)
{
  const vtkIdType n = inPts->GetNumberOfPoints();
  if (n == 0)
  {
    return;
  }
  vtkFloatArray* in = vtkFloatArray::FastDownCast(inPts->GetData());
  vtkFloatArray* out = vtkFloatArray::FastDownCast(outPts->GetData());
  vtkFloatArray* cache = vtkFloatArray::FastDownCast(this->Displacements->GetData());
  if (in && out && cache)
  {
    SubtractScaled(in->GetPointer(0), cache->GetPointer(0), this->Amplitude,
      out->GetPointer(3 * outStart), 3 * n);
    return;
  }

  // Other point precisions: the same single-precision arithmetic, one point
  // at a time.
  for (vtkIdType i = 0; i < n; ++i)
  {
    double p[3];
    double d[3];
    inPts->GetPoint(i, p);
    this->Displacements->GetPoint(i, d);
    float q[3];
    for (int k = 0; k < 3; ++k)
    {
      q[k] = static_cast<float>(p[k]) - this->Amplitude * static_cast<float>(d[k]);
    }
    outPts->SetPoint(outStart + i, q);
  }
}

//------------------------------------------------------------------------------
void vtkShapeTransform::ComputeDisplacements(
  vtkPoints* inPts, vtkPoints* outPts, vtkIdType outStart)
{
  const vtkIdType n = inPts->GetNumberOfPoints();
  this->Displacements->SetNumberOfPoints(n);
  for (vtkIdType i = 0; i < n; ++i)
  {
    double x[3];
    inPts->GetPoint(i, x);
    const float p[3] = { static_cast<float>(x[0]), static_cast<float>(x[1]),
      static_cast<float>(x[2]) };
    double d[3];
    this->ComputeDisplacement(p, d);
    this->Displacements->SetPoint(i, d);

    double q[3];
    for (int k = 0; k < 3; ++k)
    {
      q[k] = p[k] - this->Amplitude * d[k];
    }
    outPts->SetPoint(outStart + i, q);
  }
  this->DisplacementsCached = true;
}

//------------------------------------------------------------------------------
void vtkShapeTransform::ComputeDisplacement(const float p[3], double d[3])
{
  d[0] = d[1] = d[2] = 0.0;
  const vtkIdType numControlPoints =
    this->ControlPoints ? this->ControlPoints->GetNumberOfPoints() : 0;
  // No control point lies within a radius that is not a positive finite
  // number. VTK's locator cannot be queried over an empty point set.
  if (numControlPoints == 0 || !this->Locator || !std::isfinite(this->Radius) ||
    !(this->Radius > 0.0f))
  {
    return;
  }

  const double x[3] = { p[0], p[1], p[2] };
  this->Locator->FindPointsWithinRadius(this->Radius, x, this->NeighbourIds);
  const vtkIdType numNeighbours = this->NeighbourIds->GetNumberOfIds();
  if (numNeighbours == 0)
  {
    return;
  }

  const float* cx = this->CoefficientsX;
  const float* cy = this->CoefficientsY;
  const float* cz = this->CoefficientsZ;
  for (vtkIdType n = 0; n < numNeighbours; ++n)
  {
    const vtkIdType j = this->NeighbourIds->GetId(n);
    if (j < 0 || j >= numControlPoints)
    {
      continue;
    }
    const int k = this->CoefficientIndex[j];
    // Only rows 0 to N-1 are basis weights; any other entry is ignored.
    if (k < 0 || k >= numControlPoints)
    {
      continue;
    }
    double c[3];
    this->ControlPoints->GetPoint(j, c);
    const double r = std::sqrt(vtkMath::Distance2BetweenPoints(c, x));
    const double falloff = 1.0 - r / this->Radius;
    const double w = falloff * falloff;
    d[0] += w * cx[k];
    d[1] += w * cy[k];
    d[2] += w * cz[k];
  }

  // The affine term applies only inside the support of some control point.
  const vtkIdType a = numControlPoints;
  d[0] = d[0] + cx[a] + cx[a + 1] * x[0] + cx[a + 2] * x[1] + cx[a + 3] * x[2];
  d[1] = d[1] + cy[a] + cy[a + 1] * x[0] + cy[a + 2] * x[1] + cy[a + 3] * x[2];
  d[2] = d[2] + cz[a] + cz[a + 1] * x[0] + cz[a + 2] * x[1] + cz[a + 3] * x[2];
  this->NeighbourIds->Reset();
}

//------------------------------------------------------------------------------
void vtkShapeTransform::TransformPointsNormalsVectors(vtkPoints* inPts, vtkPoints* outPts,
  vtkDataArray* inNms, vtkDataArray* outNms, vtkDataArray* inVrs, vtkDataArray* outVrs,
  int nOptionalVectors, vtkDataArray** inVrsArr, vtkDataArray** outVrsArr)
{
  this->Update();
  this->TransformPoints(inPts, outPts);

  // Normals and vectors are neither bent nor turned; copying them keeps every
  // attribute of the input in the output.
  CopyIfPresent(inNms, outNms);
  CopyIfPresent(inVrs, outVrs);
  if (inVrsArr && outVrsArr)
  {
    for (int i = 0; i < nOptionalVectors; ++i)
    {
      CopyIfPresent(inVrsArr[i], outVrsArr[i]);
    }
  }
}

//------------------------------------------------------------------------------
void vtkShapeTransform::Inverse() {}

//------------------------------------------------------------------------------
namespace
{
template <typename T>
void PassThrough(const T in[3], T out[3])
{
  out[0] = in[0];
  out[1] = in[1];
  out[2] = in[2];
}

template <typename T>
void PassThrough(const T in[3], T out[3], T derivative[3][3])
{
  PassThrough(in, out);
  for (int i = 0; i < 3; ++i)
  {
    for (int j = 0; j < 3; ++j)
    {
      derivative[i][j] = i == j ? 1 : 0;
    }
  }
}
} // namespace

//------------------------------------------------------------------------------
void vtkShapeTransform::InternalTransformPoint(const float in[3], float out[3])
{
  PassThrough(in, out);
}

//------------------------------------------------------------------------------
void vtkShapeTransform::InternalTransformPoint(const double in[3], double out[3])
{
  PassThrough(in, out);
}

//------------------------------------------------------------------------------
void vtkShapeTransform::InternalTransformDerivative(
  const float in[3], float out[3], float derivative[3][3])
{
  PassThrough(in, out, derivative);
}

//------------------------------------------------------------------------------
void vtkShapeTransform::InternalTransformDerivative(
  const double in[3], double out[3], double derivative[3][3])
{
  PassThrough(in, out, derivative);
}

//------------------------------------------------------------------------------
vtkAbstractTransform* vtkShapeTransform::MakeTransform()
{
  // VTK builds a transform's inverse from this; an unconfigured shape
  // transform passes every point through.
  return vtkShapeTransform::New();
}
