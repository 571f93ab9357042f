/*=========================================================================

  Program:   Motion library
  Module:    Quaternion.cxx

=========================================================================*/
#include "Quaternion.h"

#include "QuaternionArc.h"

#include <algorithm>
#include <cmath>

// Both constants live in this one translation unit so that they are built in
// this order.
const Quaternion Quaternion::Zero(0.0f, 0.0f, 0.0f, 0.0f);
const Quaternion Quaternion::Identity(1.0f, 0.0f, 0.0f, 0.0f);

namespace
{
// Sum of the squares of three floats, accumulated in double.
double SumOfSquares(float a, float b, float c)
{
  return static_cast<double>(a) * a + static_cast<double>(b) * b + static_cast<double>(c) * c;
}

Quaternion ScaledVector(const Quaternion& q, float w, double factor)
{
  return Quaternion(w, static_cast<float>(q.X * factor), static_cast<float>(q.Y * factor),
    static_cast<float>(q.Z * factor));
}
}

//------------------------------------------------------------------------------
Quaternion Quaternion::operator-(const Quaternion& p) const
{
  return Quaternion(static_cast<float>(static_cast<double>(this->W) - p.W),
    static_cast<float>(static_cast<double>(this->X) - p.X),
    static_cast<float>(static_cast<double>(this->Y) - p.Y),
    static_cast<float>(static_cast<double>(this->Z) - p.Z));
}

//------------------------------------------------------------------------------
Quaternion Quaternion::operator*(const Quaternion& p) const
{
  const double a0 = this->W, a1 = this->X, a2 = this->Y, a3 = this->Z;
  const double b0 = p.W, b1 = p.X, b2 = p.Y, b3 = p.Z;
  return Quaternion(static_cast<float>(a0 * b0 - a1 * b1 - a2 * b2 - a3 * b3),
    static_cast<float>(a0 * b1 + a1 * b0 + a2 * b3 - a3 * b2),
    static_cast<float>(a0 * b2 + a2 * b0 + a3 * b1 - a1 * b3),
    static_cast<float>(a0 * b3 + a3 * b0 + a1 * b2 - a2 * b1));
}

//------------------------------------------------------------------------------
float Quaternion::SquaredNorm() const
{
  return this->Dot(*this);
}

//------------------------------------------------------------------------------
Quaternion Quaternion::Conjugate() const
{
  return Quaternion(this->W, -this->X, -this->Y, -this->Z);
}

//------------------------------------------------------------------------------
Quaternion Quaternion::Exp() const
{
  const float theta = static_cast<float>(std::sqrt(SumOfSquares(this->X, this->Y, this->Z)));
  const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
  const float w = static_cast<float>(std::cos(static_cast<double>(theta)));
  if (std::fabs(s) < Quaternion::Epsilon)
  {
    return Quaternion(w, this->X, this->Y, this->Z);
  }
  return ScaledVector(*this, w, static_cast<double>(s) / theta);
}

//------------------------------------------------------------------------------
Quaternion Quaternion::Log() const
{
  if (std::fabs(this->W) < 1.0f)
  {
    const double theta = std::acos(static_cast<double>(this->W));
    const double s = std::sin(theta);
    if (std::fabs(s) >= Quaternion::Epsilon)
    {
      return ScaledVector(*this, 0.0f, theta / s);
    }
  }
  return Quaternion(0.0f, this->X, this->Y, this->Z);
}

//------------------------------------------------------------------------------
Quaternion Quaternion::Slerp(float t, const Quaternion& p, const Quaternion& q)
{
  return QuaternionArc(p, q).At(t);
}

//------------------------------------------------------------------------------
Quaternion Quaternion::Squad(
  float t, const Quaternion& p, const Quaternion& a, const Quaternion& b, const Quaternion& q)
{
  return QuaternionArc::Squad(t, QuaternionArc(p, q), QuaternionArc(a, b));
}

//------------------------------------------------------------------------------
void Quaternion::SetAngleAxis(const float& angle, const float axis[3])
{
  // Read every input before writing: angle and axis may alias this object.
  const float n = static_cast<float>(SumOfSquares(axis[0], axis[1], axis[2]));
  double halfAngle = 0.0;
  float unit[3] = { 1.0f, 0.0f, 0.0f };
  if (n != 0.0f)
  {
    halfAngle = angle * 0.5;
    const double length = std::sqrt(static_cast<double>(n));
    for (int i = 0; i < 3; ++i)
    {
      unit[i] = static_cast<float>(axis[i] / length);
    }
  }
  const double s = static_cast<float>(std::sin(halfAngle));
  this->W = static_cast<float>(std::cos(halfAngle));
  this->X = static_cast<float>(s * unit[0]);
  this->Y = static_cast<float>(s * unit[1]);
  this->Z = static_cast<float>(s * unit[2]);
}

//------------------------------------------------------------------------------
void Quaternion::GetAngleAxis(float& angle, float axis[3]) const
{
  const float n = static_cast<float>(SumOfSquares(this->X, this->Y, this->Z));
  if (n > 0.0f)
  {
    const double factor = 1.0 / std::sqrt(static_cast<double>(n));
    const float x = static_cast<float>(this->X * factor);
    const float y = static_cast<float>(this->Y * factor);
    const float z = static_cast<float>(this->Z * factor);
    // Rounding can push W of a rotation near the identity just past 1, where
    // acos has no value.
    const double w = std::min(1.0, std::max(-1.0, static_cast<double>(this->W)));
    angle = static_cast<float>(2.0 * std::acos(w));
    axis[0] = x;
    axis[1] = y;
    axis[2] = z;
    return;
  }
  angle = 0.0f;
  axis[0] = 1.0f;
  axis[1] = 0.0f;
  axis[2] = 0.0f;
}
