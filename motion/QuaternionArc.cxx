/*=========================================================================

  Program:   Motion library
  Module:    QuaternionArc.cxx

=========================================================================*/
#include "QuaternionArc.h"

#include <cmath>

//------------------------------------------------------------------------------
QuaternionArc::QuaternionArc(const Quaternion& p, const Quaternion& q)
  : From(p)
  , To(q)
{
  float c = p.Dot(q);
  if (c > 1.0f)
  {
    c = 1.0f;
  }
  else if (c < -1.0f)
  {
    c = -1.0f;
  }
  this->Angle = static_cast<float>(std::acos(static_cast<double>(c)));
  // At() reads the inverse sine whenever it does not take the short branch,
  // a NaN angle included.
  if (!(this->Angle < Quaternion::Epsilon))
  {
    this->InverseSine = static_cast<float>(1.0 / std::sin(static_cast<double>(this->Angle)));
  }
}

//------------------------------------------------------------------------------
Quaternion QuaternionArc::At(float t) const
{
  if (this->Angle < Quaternion::Epsilon)
  {
    return this->From;
  }
  const float weightTo = static_cast<float>(std::sin(static_cast<double>(t) * this->Angle));
  const float weightFrom = static_cast<float>(std::sin((1.0 - t) * this->Angle));
  const Quaternion a = this->To * weightTo;
  const Quaternion b = this->From * weightFrom;
  return (b + a) * this->InverseSine;
}

//------------------------------------------------------------------------------
Quaternion QuaternionArc::Squad(
  float t, const QuaternionArc& onEnds, const QuaternionArc& onControls)
{
  const Quaternion onCurve = onEnds.At(t);
  const Quaternion betweenControls = onControls.At(t);
  const float outer = static_cast<float>((1.0 - t) * t * 2.0);
  return QuaternionArc(onCurve, betweenControls).At(outer);
}
