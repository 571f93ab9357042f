/*=========================================================================

  Program:   Motion library
  Module:    Quaternion.h

=========================================================================*/
/**
 * @class   Quaternion
 * @brief   single-precision quaternion holding an orientation
 *
 * Quaternion is a value type of four floats: the scalar part W and the vector
 * part (X, Y, Z). A rotation by the angle theta (radians) about the unit axis
 * u is (cos theta/2, sin theta/2 u). The type supplies the arithmetic, the
 * exponential and logarithm, spherical linear interpolation (Slerp) and
 * spherical quadrangle interpolation (Squad), and the conversions from and to
 * angle and axis.
 *
 * Precision matters to the poses the splines produce, so it is fixed: the
 * components are floats; the angle and sine in Exp, the clamped cosine, angle
 * and the three weights in Slerp, the outer parameter in Squad, the squared
 * axis length, unit axis and half-angle sine in SetAngleAxis and the squared
 * vector length in GetAngleAxis are rounded to float; every other intermediate
 * is computed in double and rounded when a component is stored.
 *
 * Nothing reports an error: degenerate input (a zero axis, a zero vector
 * part, a sine below Epsilon) takes a defined branch instead.
 */

#ifndef Quaternion_h
#define Quaternion_h

class Quaternion
{
public:
  Quaternion(float w = 1.0f, float x = 0.0f, float y = 0.0f, float z = 0.0f)
    : W(w)
    , X(x)
    , Y(y)
    , Z(z)
  {
  }
  Quaternion(const Quaternion&) = default;
  Quaternion& operator=(const Quaternion&) = default;
  virtual ~Quaternion() {}

  /**
   * Component-wise sum and difference.
   */
  Quaternion operator+(const Quaternion& p) const;
  Quaternion operator-(const Quaternion& p) const;

  /**
   * Hamilton product with this on the left.
   */
  Quaternion operator*(const Quaternion& p) const;

  /**
   * Every component times s.
   */
  Quaternion operator*(float s) const;

  float Dot(const Quaternion& p) const;

  /**
   * W^2 + X^2 + Y^2 + Z^2, without a square root.
   */
  float SquaredNorm() const;

  Quaternion Conjugate() const;

  /**
   * Exponential of the pure quaternion (0, v); W is ignored.
   */
  Quaternion Exp() const;

  /**
   * Logarithm of a unit quaternion: (0, theta u) for (cos theta, sin theta u).
   * A sine below Epsilon passes the vector part through unchanged.
   */
  Quaternion Log() const;

  /**
   * Spherical linear interpolation from p (t = 0) to q (t = 1). The sign of q
   * is never flipped, so a negative dot product runs along the longer arc; t
   * is not clamped and the result is not renormalised. Angles below Epsilon
   * give p.
   */
  static Quaternion Slerp(float t, const Quaternion& p, const Quaternion& q);

  /**
   * Spherical quadrangle interpolation between p and q with the inner
   * control rotations a and b: Slerp(2t(1-t), Slerp(t, p, q), Slerp(t, a, b)).
   */
  static Quaternion Squad(
    float t, const Quaternion& p, const Quaternion& a, const Quaternion& b, const Quaternion& q);

  /**
   * Become the rotation by angle (radians) about axis, which need not be of
   * unit length. A zero axis gives the identity.
   */
  void SetAngleAxis(const float& angle, const float axis[3]);

  /**
   * Angle in [0, 2 pi] (2 acos W, not reduced) and unit axis of this
   * rotation. A zero vector part gives angle 0 about (1, 0, 0). A W that
   * rounding has pushed past 1 (or -1) counts as 1 (or -1).
   */
  void GetAngleAxis(float& angle, float axis[3]) const;

  float W;
  float X;
  float Y;
  float Z;

  /**
   * Shared constants, built in this order during static initialisation and
   * only read afterwards.
   */
  static const Quaternion Zero;
  static const Quaternion Identity;

  /**
   * Threshold below which Exp, Log and Slerp take their degenerate branch.
   */
  static constexpr float Epsilon = 0.001f;
};

// The component-wise operations and the dot product are inline: the rotation
// splines' evaluation is made of little else besides sines.
//------------------------------------------------------------------------------
inline Quaternion Quaternion::operator+(const Quaternion& p) const
{
  return Quaternion(static_cast<float>(static_cast<double>(this->W) + p.W),
    static_cast<float>(static_cast<double>(this->X) + p.X),
    static_cast<float>(static_cast<double>(this->Y) + p.Y),
    static_cast<float>(static_cast<double>(this->Z) + p.Z));
}

//------------------------------------------------------------------------------
inline Quaternion Quaternion::operator*(float s) const
{
  const double f = s;
  return Quaternion(static_cast<float>(this->W * f), static_cast<float>(this->X * f),
    static_cast<float>(this->Y * f), static_cast<float>(this->Z * f));
}

//------------------------------------------------------------------------------
inline float Quaternion::Dot(const Quaternion& p) const
{
  return static_cast<float>(static_cast<double>(this->W) * p.W +
    static_cast<double>(this->X) * p.X + static_cast<double>(this->Y) * p.Y +
    static_cast<double>(this->Z) * p.Z);
}

#endif
