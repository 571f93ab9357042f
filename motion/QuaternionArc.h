/*=========================================================================

  Program:   Motion library
  Module:    QuaternionArc.h

=========================================================================*/
/**
 * @class   QuaternionArc
 * @brief   spherical linear interpolation between two fixed rotations
 *
 * QuaternionArc is the slerp from one quaternion to another with everything
 * that depends on the two ends alone worked out once: the clamped cosine,
 * the angle between them and the inverse sine of that angle. At(t) then
 * costs two sines. Quaternion::Slerp and Quaternion::Squad are built on it,
 * so an arc gives the same result as Slerp to the last bit, with the same
 * precision rules: angle, inverse sine and weights held in single precision,
 * the rest in double rounded to float. The rotation splines keep one arc per
 * segment for the keys and one for the inner controls, which are fixed
 * between two builds of the controls.
 *
 * @sa
 * Quaternion vtkKochanekRotationSpline
 */

#ifndef QuaternionArc_h
#define QuaternionArc_h

#include "Quaternion.h"

class QuaternionArc
{
public:
  /**
   * The arc from the identity to itself.
   */
  QuaternionArc() = default;

  /**
   * The arc from p (t = 0) to q (t = 1). The sign of q is never flipped: a
   * negative dot product runs along the longer arc.
   */
  QuaternionArc(const Quaternion& p, const Quaternion& q);

  /**
   * The point at t, not renormalised and t not clamped. An angle below
   * Quaternion::Epsilon gives the start.
   */
  Quaternion At(float t) const;

  /**
   * Spherical quadrangle interpolation at t from the arc between a segment's
   * ends and the arc between its inner controls:
   * Slerp(2t(1-t), onEnds.At(t), onControls.At(t)).
   */
  static Quaternion Squad(float t, const QuaternionArc& onEnds, const QuaternionArc& onControls);

private:
  Quaternion From;
  Quaternion To;
  float Angle = 0.0f;
  float InverseSine = 0.0f;
};

#endif
