/*=========================================================================

  Program:   Motion library
  Module:    vtkKochanekRotationSpline.cxx

=========================================================================*/
#include "vtkKochanekRotationSpline.h"

#include "vtkObjectFactory.h"
#include "vtkRotationKeyList.h"

#include <algorithm>

vtkObjectFactoryNewMacro(vtkKochanekRotationSpline);

namespace
{
// Weights of the incoming and outgoing differences in the two tangents of a
// key, from tension, continuity and bias.
struct KochanekWeights
{
  float OutgoingFromIn;
  float OutgoingFromOut;
  float IncomingFromIn;
  float IncomingFromOut;
};

KochanekWeights MakeWeights(float tension, float continuity, float bias)
{
  const double t = tension, c = continuity, b = bias;
  KochanekWeights w;
  w.OutgoingFromIn = static_cast<float>((1 - t) * (1 + c) * (1 + b) / 2);
  w.OutgoingFromOut = static_cast<float>((1 - t) * (1 - c) * (1 - b) / 2);
  w.IncomingFromIn = static_cast<float>((1 - t) * (1 - c) * (1 + b) / 2);
  w.IncomingFromOut = static_cast<float>((1 - t) * (1 + c) * (1 - b) / 2);
  return w;
}

// The two inner control rotations of key q between the rotations before and
// after it: the outgoing one (used by the segment that starts at q) and the
// incoming one (used by the segment that ends at q).
void ComputeControls(const Quaternion& previous, const Quaternion& q, const Quaternion& next,
  const KochanekWeights& w, Quaternion& outgoing, Quaternion& incoming)
{
  const Quaternion in = (previous.Conjugate() * q).Log();
  const Quaternion out = (q.Conjugate() * next).Log();
  const Quaternion outgoingTangent = in * w.OutgoingFromIn + out * w.OutgoingFromOut;
  const Quaternion incomingTangent = in * w.IncomingFromIn + out * w.IncomingFromOut;
  outgoing = q * ((outgoingTangent - out) * 0.5f).Exp();
  incoming = q * ((in - incomingTangent) * 0.5f).Exp();
}
}

//------------------------------------------------------------------------------
vtkKochanekRotationSpline::vtkKochanekRotationSpline()
  : DefaultBias(0.0f)
  , DefaultTension(0.0f)
  , DefaultContinuity(0.0f)
  , ComputedNumberOfKeys(-1)
  , ComputedClosed(-1)
{
}

//------------------------------------------------------------------------------
vtkMTimeType vtkKochanekRotationSpline::GetMTime()
{
  vtkMTimeType latest = this->Superclass::GetMTime();
  if (this->Keys)
  {
    latest = std::max(latest, this->Keys->GetMTime());
  }
  return latest;
}

//------------------------------------------------------------------------------
void vtkKochanekRotationSpline::Compute()
{
  const int n = this->Keys->GetNumberOfItems();
  const int closed = this->IsClosed();

  delete[] this->KnotTimes;
  delete[] this->ControlRotations;
  this->KnotTimes = nullptr;
  this->ControlRotations = nullptr;

  // Without keys there is nothing to build (and nothing to repeat when
  // closed); Evaluate never reads the arrays with fewer than two keys.
  if (n > 0)
  {
    const int knots = n + closed;
    this->KnotTimes = new float[knots];
    this->ControlRotations = new Quaternion[2 * knots];
    const KochanekWeights weights =
      MakeWeights(this->DefaultTension, this->DefaultContinuity, this->DefaultBias);

    // One pass in index order over the keys; reading past either end wraps
    // to the other end, as a closed spline needs.
    Quaternion previous = closed ? this->Keys->GetValue(n - 1) : this->LeftRotation;
    Quaternion current = this->Keys->GetValue(0);
    for (int i = 0; i < n; ++i)
    {
      this->KnotTimes[i] = this->Keys->GetKey(i);
      const Quaternion next =
        (i + 1 < n || closed) ? this->Keys->GetValue(i + 1) : this->RightRotation;
      ComputeControls(previous, current, next, weights, this->ControlRotations[2 * i],
        this->ControlRotations[2 * i + 1]);
      previous = current;
      current = next;
    }
    if (closed)
    {
      // Key 0 again, one time unit after the last key.
      this->KnotTimes[n] = this->KnotTimes[n - 1] + 1.0f;
      ComputeControls(this->Keys->GetValue(n - 1), this->Keys->GetValue(0), this->Keys->GetValue(1),
        weights, this->ControlRotations[2 * n], this->ControlRotations[2 * n + 1]);
    }
  }

  this->BuildSegmentArcs(n, closed);
  this->ComputedNumberOfKeys = n;
  this->ComputedClosed = closed;
  this->BuildTime = this->GetMTime();
}

//------------------------------------------------------------------------------
void vtkKochanekRotationSpline::BuildSegmentArcs(int n, int closed)
{
  // Segment i runs from key i to key i + 1; the closing segment's end, key n,
  // is read from the key list as key 0.
  const int segments = n > 0 ? n + closed - 1 : 0;
  this->Segments.resize(segments);
  for (int i = 0; i < segments; ++i)
  {
    this->Segments[i].Ends = QuaternionArc(this->Keys->GetValue(i), this->Keys->GetValue(i + 1));
    this->Segments[i].Controls =
      QuaternionArc(this->ControlRotations[2 * i], this->ControlRotations[2 * i + 3]);
  }
}

//------------------------------------------------------------------------------
bool vtkKochanekRotationSpline::ControlsOutOfDate()
{
  // Adding a key or changing the closed flag does not mark the spline
  // modified, so the sizes the arrays were built for are checked as well.
  return this->BuildTime < this->GetMTime() ||
    this->Keys->GetNumberOfItems() != this->ComputedNumberOfKeys ||
    this->IsClosed() != this->ComputedClosed;
}

//------------------------------------------------------------------------------
Quaternion vtkKochanekRotationSpline::Evaluate(float t)
{
  const int n = this->Keys->GetNumberOfItems();
  if (n < 2)
  {
    vtkErrorMacro(<< "Cannot evaluate a spline with less than 2 points. Number of points is: "
                  << n);
    return Quaternion::Identity;
  }
  if (this->ControlsOutOfDate())
  {
    this->Compute();
  }

  const int knots = n + this->ComputedClosed;
  const float first = this->KnotTimes[0];
  const float last = this->KnotTimes[knots - 1];
  if (!(t >= first)) // also catches NaN
  {
    t = first;
  }
  else if (t > last)
  {
    t = last;
  }

  int i = 0;
  while (i < knots - 2 && this->KnotTimes[i + 1] <= t)
  {
    ++i;
  }
  const float u = (t - this->KnotTimes[i]) / (this->KnotTimes[i + 1] - this->KnotTimes[i]);

  // Squad(u, key i, a_i, b_(i+1), key i + 1) on the segment's fixed arcs.
  const SegmentArcs& segment = this->Segments[i];
  return QuaternionArc::Squad(u, segment.Ends, segment.Controls);
}
