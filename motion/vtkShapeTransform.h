/*=========================================================================

  Program:   Motion library
  Module:    vtkShapeTransform.h

=========================================================================*/
/**
 * @class   vtkShapeTransform
 * @brief   bends a point set with compactly supported radial basis functions
 *
 * vtkShapeTransform moves every point p to p - Amplitude * d(p), where the
 * displacement d is a sum of radial basis functions centred on control
 * points plus an affine term. A control point c within the support radius R
 * of p contributes (1 - |c - p| / R)^2 times its coefficient row; the affine
 * term (constant row N, then rows N+1 to N+3 times x, y and z of p) is added
 * only where at least one control point lies within R.
 *
 * The first pass after SetDeformationData() evaluates d once per input point
 * and caches it in single precision; every later pass only rescales the
 * cached displacements, which makes animating the amplitude one multiply and
 * one subtract per coordinate. A later input with a different number of
 * points makes the next pass compute the cache again; an input with the same
 * number of points must list them in the same order.
 *
 * The deformation data (control points, coefficient arrays, index array and
 * locator) are borrowed: the caller keeps them alive while the transform can
 * run. Before SetDeformationData() the transform passes points through
 * unchanged. Normals and vectors are copied, neither bent nor turned.
 *
 * The bend cannot be inverted. GetInverse() gives a new, unconfigured
 * vtkShapeTransform, which passes every point through unchanged; that is
 * all the inverse does. There is no single-point form either: the
 * single-point entry points (TransformPoint and the derivative) pass the
 * point through, with the identity as derivative. Bend point sets through
 * the point-set operations, as vtkTransformPolyDataFilter does.
 */

#ifndef vtkShapeTransform_h
#define vtkShapeTransform_h

#include "vtkAbstractTransform.h"

class vtkIdList;
class vtkPointLocator;
class vtkPoints;

class vtkShapeTransform : public vtkAbstractTransform
{
public:
  static vtkShapeTransform* New();
  vtkTypeMacro(vtkShapeTransform, vtkAbstractTransform);

  /**
   * Configure the deformation: support radius, control points, the x, y and
   * z coefficient arrays (N + 4 entries each for N control points), the
   * coefficient row of each control point (N entries) and a locator already
   * built over the control points. All are borrowed. The next pass computes
   * the displacements again. Does not call Modified().
   */
  void SetDeformationData(float radius, vtkPoints* controlPoints, float* coefficientsX,
    float* coefficientsY, float* coefficientsZ, int* coefficientIndex, vtkPointLocator* locator);

  /**
   * Scale of the displacement; 0 (the initial value) leaves every point
   * where it is. Calls Modified() on every call, so that a filter using the
   * transform executes again.
   */
  void SetAmplitude(float amplitude);
  float GetAmplitude() { return this->Amplitude; }

  /**
   * Append the bent input points to outPts, in input order.
   */
  void TransformPoints(vtkPoints* inPts, vtkPoints* outPts) override;

  /**
   * Points as TransformPoints(); normals and vectors (including the
   * optional vector arrays) are copied unchanged.
   */
  void TransformPointsNormalsVectors(vtkPoints* inPts, vtkPoints* outPts, vtkDataArray* inNms,
    vtkDataArray* outNms, vtkDataArray* inVrs, vtkDataArray* outVrs, int nOptionalVectors = 0,
    vtkDataArray** inVrsArr = nullptr, vtkDataArray** outVrsArr = nullptr) override;

  /**
   * The bend has no inverse: does nothing.
   */
  void Inverse() override;

  ///@{
  /**
   * No single-point form: the point passes through unchanged, and the
   * derivative is the identity.
   */
  void InternalTransformPoint(const float in[3], float out[3]) override;
  void InternalTransformPoint(const double in[3], double out[3]) override;
  void InternalTransformDerivative(
    const float in[3], float out[3], float derivative[3][3]) override;
  void InternalTransformDerivative(
    const double in[3], double out[3], double derivative[3][3]) override;
  ///@}

  /**
   * A new, unconfigured vtkShapeTransform, which passes points through. VTK
   * builds GetInverse() from it.
   */
  vtkAbstractTransform* MakeTransform() override;

protected:
  vtkShapeTransform();
  ~vtkShapeTransform() override;

  void ComputeDisplacements(vtkPoints* inPts, vtkPoints* outPts, vtkIdType outStart);
  void ComputeDisplacement(const float p[3], double d[3]);
  void ApplyCachedDisplacements(vtkPoints* inPts, vtkPoints* outPts, vtkIdType outStart);

  float Radius;
  vtkPoints* ControlPoints;
  vtkPoints* Displacements;
  bool DisplacementsCached;
  bool Configured;
  float* CoefficientsX;
  float* CoefficientsY;
  float* CoefficientsZ;
  int* CoefficientIndex;
  vtkPointLocator* Locator;
  float Amplitude;
  vtkIdList* NeighbourIds;

private:
  vtkShapeTransform(const vtkShapeTransform&) = delete;
  void operator=(const vtkShapeTransform&) = delete;
};

#endif
