/*=========================================================================

  Program:   Motion library
  Module:    vtkKeyedList.h

=========================================================================*/
/**
 * @class   vtkKeyedList
 * @brief   float-keyed, strictly ordered doubly linked list with a cursor
 *
 * vtkKeyedList keeps items ordered by a float key (a time) and never holds
 * two items with exactly equal keys. Items are read by index: the list
 * remembers the node it visited last, and every indexed access walks from
 * the nearest of the first node, that cursor and the last node, so reading
 * the items in ascending or descending order costs one step per item.
 *
 * The payload type is the template parameter; vtkKeyTimeList (int payload)
 * and vtkRotationKeyList (Quaternion payload) are the two lists built on it.
 * No operation calls Modified(), and the class adds no type information:
 * GetClassName() reports "vtkObject". Not thread-safe: even reading moves the
 * cursor.
 */

#ifndef vtkKeyedList_h
#define vtkKeyedList_h

#include "vtkObject.h"

#include <cmath>

/**
 * One item of a keyed list; owned by the list.
 */
template <typename TValue>
struct vtkKeyedListNode
{
  float Key;
  vtkKeyedListNode* Previous;
  vtkKeyedListNode* Next;
  TValue Value;
};

template <typename TValue>
class vtkKeyedList : public vtkObject
{
public:
  typedef vtkKeyedListNode<TValue> NodeType;

  /**
   * Insert an item in key order and return the index at which the key
   * stands afterwards. An existing key is not inserted again and keeps its
   * payload. A NaN key has no place in the order: it is refused with -1.
   */
  int InsertItem(float key, TValue value);

  /**
   * Index of the item with exactly this key, or -1. May move the cursor; a
   * failed search between the first and last keys leaves the cursor on the
   * node after which the key belongs.
   */
  int FindKey(float key);

  /**
   * Put the cursor on index i. Returns 1 on success and 0 when i is out of
   * range (the cursor does not move then).
   */
  int MoveCursorTo(int i);

  /**
   * Key of item i. The list reads as a closed sequence outside its range:
   * an index of the item count or above gives the first key, a negative
   * index the last key. An empty list answers 0.0.
   */
  float GetKey(int i);

  /**
   * Remove item i; out-of-range indices are ignored.
   */
  void RemoveItem(int i);

  void RemoveAllItems();

  int GetNumberOfItems() { return this->NumberOfItems; }

protected:
  vtkKeyedList();
  ~vtkKeyedList() override;

  NodeType* Head;
  NodeType* Tail;
  NodeType* Cursor;
  int NumberOfItems;
  int CursorIndex;

  /**
   * The node that index i reads, with GetKey's rules outside the range:
   * the first node for i >= count, the last for i < 0, null when empty.
   * Moves the cursor for an index in range.
   */
  NodeType* NodeAt(int i);

private:
  NodeType* NewNode(float key, TValue value);
  void StepCursorForward(int steps);
  void StepCursorBackward(int steps);

  vtkKeyedList(const vtkKeyedList&) = delete;
  void operator=(const vtkKeyedList&) = delete;
};

//------------------------------------------------------------------------------
template <typename TValue>
vtkKeyedList<TValue>::vtkKeyedList()
  : Head(nullptr)
  , Tail(nullptr)
  , Cursor(nullptr)
  , NumberOfItems(0)
  , CursorIndex(-1)
{
}

//------------------------------------------------------------------------------
template <typename TValue>
vtkKeyedList<TValue>::~vtkKeyedList()
{
  this->RemoveAllItems();
}

//------------------------------------------------------------------------------
template <typename TValue>
typename vtkKeyedList<TValue>::NodeType* vtkKeyedList<TValue>::NewNode(float key, TValue value)
{
  // The payload is default-constructed first, then assigned.
  NodeType* node = new NodeType();
  node->Key = key;
  node->Previous = nullptr;
  node->Next = nullptr;
  node->Value = value;
  return node;
}

//------------------------------------------------------------------------------
template <typename TValue>
void vtkKeyedList<TValue>::StepCursorForward(int steps)
{
  for (; steps > 0; --steps)
  {
    this->Cursor = this->Cursor->Next;
    ++this->CursorIndex;
  }
}

//------------------------------------------------------------------------------
template <typename TValue>
void vtkKeyedList<TValue>::StepCursorBackward(int steps)
{
  for (; steps > 0; --steps)
  {
    this->Cursor = this->Cursor->Previous;
    --this->CursorIndex;
  }
}

//------------------------------------------------------------------------------
template <typename TValue>
int vtkKeyedList<TValue>::MoveCursorTo(int i)
{
  if (i < 0 || i > this->NumberOfItems - 1)
  {
    return 0;
  }
  if (i < this->CursorIndex)
  {
    // Walk from the head only when it is strictly nearer; a tie walks from
    // the cursor.
    if (i < this->CursorIndex - i)
    {
      this->Cursor = this->Head;
      this->CursorIndex = 0;
      this->StepCursorForward(i);
    }
    else
    {
      this->StepCursorBackward(this->CursorIndex - i);
    }
  }
  else if (i > this->CursorIndex)
  {
    const int last = this->NumberOfItems - 1;
    if (last - i < i - this->CursorIndex)
    {
      this->Cursor = this->Tail;
      this->CursorIndex = last;
      this->StepCursorBackward(last - i);
    }
    else
    {
      this->StepCursorForward(i - this->CursorIndex);
    }
  }
  return 1;
}

//------------------------------------------------------------------------------
template <typename TValue>
typename vtkKeyedList<TValue>::NodeType* vtkKeyedList<TValue>::NodeAt(int i)
{
  if (this->NumberOfItems == 0)
  {
    return nullptr;
  }
  if (i >= this->NumberOfItems)
  {
    return this->Head;
  }
  if (i < 0)
  {
    return this->Tail;
  }
  this->MoveCursorTo(i);
  return this->Cursor;
}

//------------------------------------------------------------------------------
template <typename TValue>
float vtkKeyedList<TValue>::GetKey(int i)
{
  NodeType* node = this->NodeAt(i);
  return node ? node->Key : 0.0f;
}

//------------------------------------------------------------------------------
template <typename TValue>
int vtkKeyedList<TValue>::FindKey(float key)
{
  if (this->NumberOfItems == 0 || key < this->Head->Key || key > this->Tail->Key)
  {
    return -1;
  }
  if (key == this->Head->Key)
  {
    return 0;
  }
  if (key == this->Tail->Key)
  {
    return this->NumberOfItems - 1;
  }
  // The key lies strictly between the first and the last key, so neither
  // walk can leave the list.
  if (this->Cursor->Key > key)
  {
    while (this->Cursor->Key > key)
    {
      this->StepCursorBackward(1);
    }
  }
  else if (this->Cursor->Key < key)
  {
    while (!(this->Cursor->Next->Key > key))
    {
      this->StepCursorForward(1);
    }
  }
  return this->Cursor->Key == key ? this->CursorIndex : -1;
}

//------------------------------------------------------------------------------
template <typename TValue>
int vtkKeyedList<TValue>::InsertItem(float key, TValue value)
{
  if (std::isnan(key))
  {
    return -1;
  }
  if (this->NumberOfItems == 0)
  {
    NodeType* node = this->NewNode(key, value);
    this->Head = this->Tail = this->Cursor = node;
    this->CursorIndex = 0;
    this->NumberOfItems = 1;
    return 0;
  }
  if (this->Head->Key > key)
  {
    NodeType* node = this->NewNode(key, value);
    node->Next = this->Head;
    this->Head->Previous = node;
    this->Head = node;
    ++this->NumberOfItems;
    ++this->CursorIndex; // the cursor keeps its node, one index further on
    return 0;
  }
  if (this->Tail->Key < key)
  {
    NodeType* node = this->NewNode(key, value);
    node->Previous = this->Tail;
    this->Tail->Next = node;
    this->Tail = node;
    ++this->NumberOfItems;
    return this->NumberOfItems - 1;
  }
  const int found = this->FindKey(key);
  if (found >= 0)
  {
    return found;
  }
  // The failed search left the cursor on the node after which the key
  // belongs; that node is never the tail here.
  NodeType* node = this->NewNode(key, value);
  node->Previous = this->Cursor;
  node->Next = this->Cursor->Next;
  this->Cursor->Next->Previous = node;
  this->Cursor->Next = node;
  ++this->NumberOfItems;
  return this->CursorIndex + 1;
}

//------------------------------------------------------------------------------
template <typename TValue>
void vtkKeyedList<TValue>::RemoveItem(int i)
{
  if (i < 0 || i > this->NumberOfItems - 1)
  {
    return;
  }
  if (this->NumberOfItems == 1)
  {
    delete this->Head;
    this->Head = this->Tail = this->Cursor = nullptr;
    this->NumberOfItems = 0;
    this->CursorIndex = -1;
    return;
  }
  if (i == 0)
  {
    NodeType* old = this->Head;
    this->Head = old->Next;
    this->Head->Previous = nullptr;
    if (this->CursorIndex == 0)
    {
      this->Cursor = this->Head;
    }
    else
    {
      --this->CursorIndex;
    }
    delete old;
    --this->NumberOfItems;
    return;
  }
  if (i == this->NumberOfItems - 1)
  {
    NodeType* old = this->Tail;
    this->Tail = old->Previous;
    this->Tail->Next = nullptr;
    --this->NumberOfItems;
    if (this->Cursor == old)
    {
      this->Cursor = this->Tail;
      this->CursorIndex = this->NumberOfItems - 1;
    }
    delete old;
    return;
  }
  this->MoveCursorTo(i);
  NodeType* old = this->Cursor;
  old->Previous->Next = old->Next;
  old->Next->Previous = old->Previous;
  this->Cursor = old->Previous;
  --this->CursorIndex;
  delete old;
  --this->NumberOfItems;
}

//------------------------------------------------------------------------------
template <typename TValue>
void vtkKeyedList<TValue>::RemoveAllItems()
{
  while (this->NumberOfItems > 0)
  {
    this->RemoveItem(0);
  }
}

#endif
