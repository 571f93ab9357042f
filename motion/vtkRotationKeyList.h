/*=========================================================================

  Program:   Motion library
  Module:    vtkRotationKeyList.h

=========================================================================*/
/**
 * @class   vtkRotationKeyList
 * @brief   keyed list of times with a Quaternion payload
 *
 * vtkRotationKeyList holds the rotation keys of a rotation spline: times
 * ascending, no two equal, each with its rotation, read by index with a
 * cursor (see vtkKeyedList). A new node's rotation is default-constructed
 * (the identity) and then assigned the inserted one. Created directly by
 * New(), without asking the object factory.
 */

#ifndef vtkRotationKeyList_h
#define vtkRotationKeyList_h

#include "Quaternion.h"
#include "vtkKeyedList.h"

typedef vtkKeyedListNode<Quaternion> RotationKeyNode;

class vtkRotationKeyList : public vtkKeyedList<Quaternion>
{
public:
  static vtkRotationKeyList* New();

  /**
   * Rotation of item i. Like GetKey, the list reads as a closed sequence
   * outside its range: an index of the item count or above gives the first
   * rotation, a negative index the last one. An empty list answers the zero
   * quaternion (0, 0, 0, 0).
   */
  Quaternion GetValue(int i);

protected:
  vtkRotationKeyList() = default;
  ~vtkRotationKeyList() override = default;

private:
  vtkRotationKeyList(const vtkRotationKeyList&) = delete;
  void operator=(const vtkRotationKeyList&) = delete;
};

#endif
