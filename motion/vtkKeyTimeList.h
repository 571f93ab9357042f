/*=========================================================================

  Program:   Motion library
  Module:    vtkKeyTimeList.h

=========================================================================*/
/**
 * @class   vtkKeyTimeList
 * @brief   keyed list of times with an int payload
 *
 * vtkKeyTimeList holds the keyframe times of a trajectory: ascending, no two
 * equal, read by index with a cursor (see vtkKeyedList). Created directly by
 * New(), without asking the object factory.
 */

#ifndef vtkKeyTimeList_h
#define vtkKeyTimeList_h

#include "vtkKeyedList.h"

typedef vtkKeyedListNode<int> KeyTimeNode;

class vtkKeyTimeList : public vtkKeyedList<int>
{
public:
  static vtkKeyTimeList* New();

protected:
  vtkKeyTimeList() = default;
  ~vtkKeyTimeList() override = default;

private:
  vtkKeyTimeList(const vtkKeyTimeList&) = delete;
  void operator=(const vtkKeyTimeList&) = delete;
};

#endif
