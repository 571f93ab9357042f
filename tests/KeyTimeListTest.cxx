// Unit tests of vtkKeyTimeList: key order, the cursor walks, the answers
// outside the range, insertion and removal, and the untouched time stamp.

#include "vtkKeyTimeList.h"

#include "vtkNew.h"
#include "vtkObjectFactory.h"
#include "vtkVersionMacros.h"

#include <gtest/gtest.h>

#include <cmath>

#include <climits>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace
{

// A list whose nodes and cursor the tests can see and place.
class ProbeList : public vtkKeyTimeList
{
public:
  static ProbeList* New()
  {
    ProbeList* list = new ProbeList;
    list->InitializeObjectBase();
    return list;
  }

  KeyTimeNode* GetHead() const { return this->Head; }
  KeyTimeNode* GetTail() const { return this->Tail; }
  KeyTimeNode* GetCursor() const { return this->Cursor; }
  int GetCursorIndex() const { return this->CursorIndex; }

  // Node i, reached along the Next links from the head without the cursor.
  KeyTimeNode* NodeAt(int i) const
  {
    KeyTimeNode* node = this->Head;
    for (; node && i > 0; --i)
    {
      node = node->Next;
    }
    return node;
  }

  void PlaceCursor(int i)
  {
    this->Cursor = this->NodeAt(i);
    this->CursorIndex = i;
  }

  std::vector<float> Keys() const
  {
    std::vector<float> keys;
    for (KeyTimeNode* node = this->Head; node; node = node->Next)
    {
      keys.push_back(node->Key);
    }
    return keys;
  }

  // Checks the links, the count, the key order and the cursor against each
  // other.
  void ExpectWellFormed() const
  {
    if (this->NumberOfItems == 0)
    {
      EXPECT_EQ(this->Head, nullptr);
      EXPECT_EQ(this->Tail, nullptr);
      EXPECT_EQ(this->Cursor, nullptr);
      EXPECT_EQ(this->CursorIndex, -1);
      return;
    }
    ASSERT_NE(this->Head, nullptr);
    EXPECT_EQ(this->Head->Previous, nullptr);
    EXPECT_EQ(this->Tail->Next, nullptr);
    int count = 1;
    for (KeyTimeNode* node = this->Head; node->Next; node = node->Next, ++count)
    {
      EXPECT_EQ(node->Next->Previous, node) << "at index " << count - 1;
      EXPECT_LT(node->Key, node->Next->Key) << "at index " << count - 1;
      if (node->Next->Next == nullptr)
      {
        EXPECT_EQ(node->Next, this->Tail);
      }
    }
    EXPECT_EQ(count, this->NumberOfItems);
    ASSERT_GE(this->CursorIndex, 0);
    ASSERT_LT(this->CursorIndex, this->NumberOfItems);
    EXPECT_EQ(this->Cursor, this->NodeAt(this->CursorIndex));
  }

protected:
  ProbeList() = default;
  ~ProbeList() override = default;
};

// Fills a list with keys firstKey, firstKey + 10, ... and payloads 0, 1, 2, ...
void Fill(ProbeList* list, int count, float firstKey = 0.0f)
{
  for (int i = 0; i < count; ++i)
  {
    list->InsertItem(firstKey + 10.0f * i, i);
  }
}

// The first link that a walk follows from where it starts.
enum class Route
{
  None,
  HeadForward,
  TailBackward,
  CursorForward,
  CursorBackward
};

// Points the first link of every walk other than the allowed one at a decoy
// node. A walk that starts from the wrong node then ends on a decoy instead of
// the node it looks for, although every walk would otherwise arrive at the
// same node. The decoys link to themselves, and their keys (+inf behind a Next
// link, -inf behind a Previous link) end a key search on the spot.
class Detours
{
public:
  Detours(ProbeList* list, Route allowed)
  {
    KeyTimeNode* head = list->GetHead();
    KeyTimeNode* tail = list->GetTail();
    KeyTimeNode* cursor = list->GetCursor();
    std::set<KeyTimeNode**> nextLinks = { &head->Next, &cursor->Next };
    std::set<KeyTimeNode**> previousLinks = { &tail->Previous, &cursor->Previous };
    switch (allowed)
    {
      case Route::HeadForward:
        nextLinks.erase(&head->Next);
        break;
      case Route::TailBackward:
        previousLinks.erase(&tail->Previous);
        break;
      case Route::CursorForward:
        nextLinks.erase(&cursor->Next);
        break;
      case Route::CursorBackward:
        previousLinks.erase(&cursor->Previous);
        break;
      case Route::None:
        break;
    }
    for (KeyTimeNode** link : nextLinks)
    {
      this->Redirect(link, &this->AfterDecoy);
    }
    for (KeyTimeNode** link : previousLinks)
    {
      this->Redirect(link, &this->BeforeDecoy);
    }
  }

  ~Detours()
  {
    for (auto& saved : this->Saved)
    {
      *saved.first = saved.second;
    }
  }

  bool IsDecoy(const KeyTimeNode* node) const
  {
    return node == &this->AfterDecoy || node == &this->BeforeDecoy;
  }

private:
  void Redirect(KeyTimeNode** link, KeyTimeNode* decoy)
  {
    this->Saved.emplace_back(link, *link);
    *link = decoy;
  }

  KeyTimeNode AfterDecoy{ std::numeric_limits<float>::infinity(), &AfterDecoy, &AfterDecoy, -1 };
  KeyTimeNode BeforeDecoy{ -std::numeric_limits<float>::infinity(), &BeforeDecoy, &BeforeDecoy,
    -1 };
  std::vector<std::pair<KeyTimeNode**, KeyTimeNode*>> Saved;

  Detours(const Detours&) = delete;
  void operator=(const Detours&) = delete;
};

class KeyTimeListTest : public ::testing::Test
{
protected:
  vtkNew<ProbeList> List;
};

//------------------------------------------------------------------------------
struct IndexWalk
{
  int Start;
  int Target;
  Route Expected;
};

// Nine items, indices 0 to 8. A walk starts from the strictly nearest of
// head, cursor and tail; on a tie it walks from the cursor.
const IndexWalk IndexWalks[] = {
  { 4, 4, Route::None },           // already there
  { 4, 3, Route::CursorBackward }, // cursor 1, head 3
  { 4, 2, Route::CursorBackward }, // tie: cursor 2, head 2
  { 4, 1, Route::HeadForward },    // head 1, cursor 3
  { 4, 0, Route::HeadForward },    // head 0
  { 4, 5, Route::CursorForward },  // cursor 1, tail 3
  { 4, 6, Route::CursorForward },  // tie: cursor 2, tail 2
  { 4, 7, Route::TailBackward },   // tail 1, cursor 3
  { 4, 8, Route::TailBackward },   // tail 0
  { 0, 4, Route::CursorForward },  // tie: cursor 4, tail 4
  { 0, 5, Route::TailBackward },   // tail 3, cursor 5
  { 8, 4, Route::CursorBackward }, // tie: cursor 4, head 4
  { 8, 3, Route::HeadForward },    // head 3, cursor 5
  { 1, 7, Route::TailBackward },   // tail 1, cursor 6
  { 7, 1, Route::HeadForward },    // head 1, cursor 6
  { 2, 3, Route::CursorForward },  // the next item: one step
  { 3, 2, Route::CursorBackward }, // the previous item: one step
};

void ExpectWalk(ProbeList* list, const IndexWalk& walk, bool byGetKey)
{
  SCOPED_TRACE(testing::Message() << (byGetKey ? "GetKey" : "MoveCursorTo") << " from "
                                  << walk.Start << " to " << walk.Target);
  list->PlaceCursor(walk.Start);
  KeyTimeNode* cursor;
  int cursorIndex;
  {
    Detours detours(list, walk.Expected);
    if (byGetKey)
    {
      EXPECT_EQ(list->GetKey(walk.Target), 10.0f * walk.Target);
    }
    else
    {
      EXPECT_EQ(list->MoveCursorTo(walk.Target), 1);
    }
    cursor = list->GetCursor();
    cursorIndex = list->GetCursorIndex();
    EXPECT_FALSE(detours.IsDecoy(cursor)) << "the walk started from the wrong node";
  }
  EXPECT_EQ(cursor, list->NodeAt(walk.Target));
  EXPECT_EQ(cursorIndex, walk.Target);
}

TEST_F(KeyTimeListTest, IndexedAccessWalksFromTheNearestNodeAndTiesFromTheCursor)
{
  Fill(this->List, 9);
  for (const IndexWalk& walk : IndexWalks)
  {
    ExpectWalk(this->List, walk, false);
    ExpectWalk(this->List, walk, true);
  }
}

//------------------------------------------------------------------------------
struct KeySearch
{
  int Start;
  float Key;
  int Result;
  int CursorIndex; // where the cursor stands afterwards
  Route Expected;
};

// Keys 0, 10, ..., 80. Between the first and the last key a search always
// walks from the cursor, even when an end is nearer, and stops on the last
// node whose key is not above the one searched; the two end keys and keys
// outside the range are answered without moving the cursor.
const KeySearch KeySearches[] = {
  { 1, 70.0f, 7, 7, Route::CursorForward },  // tail nearer, still from the cursor
  { 8, 10.0f, 1, 1, Route::CursorBackward }, // cursor on the tail, head nearer
  { 4, 40.0f, 4, 4, Route::None },           // on the cursor
  { 4, 45.0f, -1, 4, Route::CursorForward }, // belongs right after the cursor
  { 4, 35.0f, -1, 3, Route::CursorBackward },
  { 7, 15.0f, -1, 1, Route::CursorBackward },
  { 2, 75.0f, -1, 7, Route::CursorForward },
  { 0, 5.0f, -1, 0, Route::CursorForward },
  { 4, 0.0f, 0, 4, Route::None },  // the first key
  { 4, 80.0f, 8, 4, Route::None }, // the last key
  { 4, -5.0f, -1, 4, Route::None },
  { 4, 85.0f, -1, 4, Route::None },
  { 4, -std::numeric_limits<float>::infinity(), -1, 4, Route::None },
  { 4, std::numeric_limits<float>::infinity(), -1, 4, Route::None },
};

TEST_F(KeyTimeListTest, FindKeyWalksFromTheCursorToTheLastKeyNotAbove)
{
  Fill(this->List, 9);
  for (const KeySearch& search : KeySearches)
  {
    SCOPED_TRACE(testing::Message() << "FindKey(" << search.Key << ") from " << search.Start);
    this->List->PlaceCursor(search.Start);
    KeyTimeNode* cursor;
    {
      Detours detours(this->List, search.Expected);
      EXPECT_EQ(this->List->FindKey(search.Key), search.Result);
      cursor = this->List->GetCursor();
      EXPECT_FALSE(detours.IsDecoy(cursor)) << "the search left the cursor's route";
    }
    EXPECT_EQ(this->List->GetCursorIndex(), search.CursorIndex);
    EXPECT_EQ(cursor, this->List->NodeAt(search.CursorIndex));
  }
}

TEST_F(KeyTimeListTest, FindKeyBetweenTwoKeysFailsAndInsertionPutsTheKeyThere)
{
  Fill(this->List, 3);
  EXPECT_EQ(this->List->FindKey(15.0f), -1);
  EXPECT_EQ(this->List->InsertItem(15.0f, 7), 2);
  EXPECT_EQ(this->List->FindKey(15.0f), 2);
  EXPECT_EQ(this->List->Keys(), (std::vector<float>{ 0.0f, 10.0f, 15.0f, 20.0f }));
  this->List->ExpectWellFormed();
}

//------------------------------------------------------------------------------
// Every answer outside the range and on an empty list, with the list and its
// cursor left as they were.
enum class Operation
{
  GetKey,
  MoveCursorTo,
  RemoveItem,
  FindKey
};

struct OutOfRange
{
  int Items; // keys 10, 20, 30, ...; the cursor on index 1 when there are items
  Operation Op;
  double Argument; // an index, or the key searched
  double Answer;   // the result; for RemoveItem the number of items afterwards
};

const OutOfRange OutOfRangeAnswers[] = {
  { 0, Operation::GetKey, 0, 0.0 },
  { 0, Operation::GetKey, -1, 0.0 },
  { 0, Operation::GetKey, 1, 0.0 },
  { 0, Operation::GetKey, INT_MIN, 0.0 },
  { 0, Operation::GetKey, INT_MAX, 0.0 },
  { 3, Operation::GetKey, 3, 10.0 }, // one past the end reads as index 0
  { 3, Operation::GetKey, 4, 10.0 },
  { 3, Operation::GetKey, INT_MAX, 10.0 },
  { 3, Operation::GetKey, -1, 30.0 }, // index -1 reads as the last index
  { 3, Operation::GetKey, -2, 30.0 },
  { 3, Operation::GetKey, INT_MIN, 30.0 },
  { 0, Operation::MoveCursorTo, 0, 0 },
  { 0, Operation::MoveCursorTo, -1, 0 },
  { 3, Operation::MoveCursorTo, -1, 0 },
  { 3, Operation::MoveCursorTo, 3, 0 },
  { 3, Operation::MoveCursorTo, INT_MIN, 0 },
  { 3, Operation::MoveCursorTo, INT_MAX, 0 },
  { 0, Operation::RemoveItem, 0, 0 },
  { 0, Operation::RemoveItem, -1, 0 },
  { 3, Operation::RemoveItem, -1, 3 },
  { 3, Operation::RemoveItem, 3, 3 },
  { 3, Operation::RemoveItem, INT_MIN, 3 },
  { 3, Operation::RemoveItem, INT_MAX, 3 },
  { 0, Operation::FindKey, 0.0, -1 },
  { 0, Operation::FindKey, 5.0, -1 },
  { 3, Operation::FindKey, 9.5, -1 },
  { 3, Operation::FindKey, 30.5, -1 },
};

double Apply(vtkKeyTimeList* list, Operation op, double argument)
{
  switch (op)
  {
    case Operation::GetKey:
      return list->GetKey(static_cast<int>(argument));
    case Operation::MoveCursorTo:
      return list->MoveCursorTo(static_cast<int>(argument));
    case Operation::RemoveItem:
      list->RemoveItem(static_cast<int>(argument));
      return list->GetNumberOfItems();
    case Operation::FindKey:
      return list->FindKey(static_cast<float>(argument));
  }
  return -99.0;
}

TEST(KeyTimeList, OutOfRangeAndEmptyAnswersLeaveTheListAsItWas)
{
  const char* names[] = { "GetKey", "MoveCursorTo", "RemoveItem", "FindKey" };
  for (const OutOfRange& row : OutOfRangeAnswers)
  {
    SCOPED_TRACE(testing::Message() << names[static_cast<int>(row.Op)] << "(" << row.Argument
                                    << ") on " << row.Items << " items");
    vtkNew<ProbeList> list;
    Fill(list, row.Items, 10.0f);
    if (row.Items > 0)
    {
      list->PlaceCursor(1);
    }
    KeyTimeNode* cursor = list->GetCursor();
    const int cursorIndex = list->GetCursorIndex();
    const std::vector<float> keys = list->Keys();

    EXPECT_EQ(Apply(list, row.Op, row.Argument), row.Answer);
    EXPECT_EQ(list->GetCursor(), cursor);
    EXPECT_EQ(list->GetCursorIndex(), cursorIndex);
    EXPECT_EQ(list->Keys(), keys);
    list->ExpectWellFormed();
  }
}

//------------------------------------------------------------------------------
TEST_F(KeyTimeListTest, InsertingOutOfOrderKeepsKeysAscending)
{
  EXPECT_EQ(this->List->InsertItem(3.0f, 30), 0);
  EXPECT_EQ(this->List->InsertItem(1.0f, 10), 0);
  EXPECT_EQ(this->List->InsertItem(2.0f, 20), 1);
  ASSERT_EQ(this->List->GetNumberOfItems(), 3);
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(this->List->GetKey(i), 1.0f + i);
    EXPECT_EQ(this->List->NodeAt(i)->Value, 10 * (i + 1)) << "payload at " << i;
  }
  this->List->ExpectWellFormed();
}

TEST_F(KeyTimeListTest, FirstInsertionMakesTheOnlyNodeHeadTailAndCursor)
{
  EXPECT_EQ(this->List->InsertItem(2.5f, 4), 0);
  EXPECT_EQ(this->List->GetNumberOfItems(), 1);
  EXPECT_EQ(this->List->GetHead(), this->List->GetTail());
  EXPECT_EQ(this->List->GetCursor(), this->List->GetHead());
  EXPECT_EQ(this->List->GetCursorIndex(), 0);
  EXPECT_EQ(this->List->GetHead()->Value, 4);
  this->List->ExpectWellFormed();
}

struct Insertion
{
  float Key;
  int Result;
  float CursorKey; // the cursor's node afterwards, by its key
  int CursorIndex;
  int Items;
};

// Five items with keys 0 to 40, the cursor on index 2 (key 20). The cursor
// keeps its node through an insertion at either end; in between it stays
// where the search for the key left it.
const Insertion Insertions[] = {
  { -5.0f, 0, 20.0f, 3, 6 }, // new head: the cursor's index grows
  { 50.0f, 5, 20.0f, 2, 6 }, // new tail
  { 25.0f, 3, 20.0f, 2, 6 }, // right after the cursor
  { 35.0f, 4, 30.0f, 3, 6 }, // search walked forward to 30
  { 5.0f, 1, 0.0f, 0, 6 },   // search walked back to 0
  { 30.0f, 3, 30.0f, 3, 5 }, // present in the middle
  { 0.0f, 0, 20.0f, 2, 5 },  // present: the first key
  { 40.0f, 4, 20.0f, 2, 5 }, // present: the last key
  { 20.0f, 2, 20.0f, 2, 5 }, // present: the cursor's key
};

TEST(KeyTimeList, InsertionResultAndCursor)
{
  for (const Insertion& insertion : Insertions)
  {
    SCOPED_TRACE(testing::Message() << "InsertItem(" << insertion.Key << ")");
    vtkNew<ProbeList> list;
    Fill(list, 5);
    list->PlaceCursor(2);

    EXPECT_EQ(list->InsertItem(insertion.Key, 99), insertion.Result);
    EXPECT_EQ(list->GetNumberOfItems(), insertion.Items);
    EXPECT_EQ(list->GetCursorIndex(), insertion.CursorIndex);
    ASSERT_NE(list->GetCursor(), nullptr);
    EXPECT_EQ(list->GetCursor()->Key, insertion.CursorKey);
    list->ExpectWellFormed();

    // The key stands at the returned index. A new item carries the new
    // payload; an existing one keeps its own.
    KeyTimeNode* node = list->NodeAt(insertion.Result);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Key, insertion.Key);
    const bool inserted = insertion.Items == 6;
    EXPECT_EQ(node->Value, inserted ? 99 : static_cast<int>(insertion.Key / 10.0f));
  }
}

//------------------------------------------------------------------------------
struct Removal
{
  int Start; // cursor index before
  int Index; // removed
  float CursorKey;
  int CursorIndex;
};

// Five items with keys 0 to 40.
const Removal Removals[] = {
  { 0, 0, 10.0f, 0 }, // the first item under the cursor: the cursor moves to the new first
  { 3, 0, 30.0f, 2 }, // the first item: the cursor keeps its node
  { 4, 4, 30.0f, 3 }, // the last item under the cursor: the cursor moves to the new last
  { 1, 4, 10.0f, 1 }, // the last item: the cursor keeps its node
  { 0, 2, 10.0f, 1 }, // a middle item: the cursor moves to the item before it
  { 4, 3, 20.0f, 2 },
  { 2, 2, 10.0f, 1 },
};

TEST(KeyTimeList, RemovalUnlinksTheItemAndPlacesTheCursor)
{
  for (const Removal& removal : Removals)
  {
    SCOPED_TRACE(testing::Message()
      << "RemoveItem(" << removal.Index << ") with the cursor on " << removal.Start);
    vtkNew<ProbeList> list;
    Fill(list, 5);
    list->PlaceCursor(removal.Start);

    list->RemoveItem(removal.Index);
    EXPECT_EQ(list->GetNumberOfItems(), 4);
    std::vector<float> expected = { 0.0f, 10.0f, 20.0f, 30.0f, 40.0f };
    expected.erase(expected.begin() + removal.Index);
    EXPECT_EQ(list->Keys(), expected);
    EXPECT_EQ(list->GetCursorIndex(), removal.CursorIndex);
    ASSERT_NE(list->GetCursor(), nullptr);
    EXPECT_EQ(list->GetCursor()->Key, removal.CursorKey);
    list->ExpectWellFormed();
  }
}

TEST_F(KeyTimeListTest, RemovingTheLastItemAfterReadingItKeepsTheListReadable)
{
  Fill(this->List, 4);
  EXPECT_EQ(this->List->GetKey(3), 30.0f);
  this->List->RemoveItem(3);
  EXPECT_EQ(this->List->GetKey(0), 0.0f);
  EXPECT_EQ(this->List->GetKey(2), 20.0f);
  EXPECT_EQ(this->List->GetKey(-1), 20.0f);
  EXPECT_EQ(this->List->GetKey(3), 0.0f);
  this->List->ExpectWellFormed();
}

TEST_F(KeyTimeListTest, NaNKeyIsRefusedWhereverTheCursorStands)
{
  // A NaN compares false with every key, so it has no place in the order.
  for (int cursor : { -1, 0, 1 })
  {
    SCOPED_TRACE(cursor);
    vtkNew<ProbeList> list;
    if (cursor >= 0)
    {
      Fill(list, 2);
      list->GetKey(cursor);
    }
    const int count = list->GetNumberOfItems();
    EXPECT_EQ(list->InsertItem(std::nanf(""), 7), -1);
    EXPECT_EQ(list->GetNumberOfItems(), count);
    EXPECT_EQ(list->FindKey(std::nanf("")), -1);
    list->ExpectWellFormed();
  }
}

TEST_F(KeyTimeListTest, RemovingTheOnlyItemEmptiesTheList)
{
  this->List->InsertItem(1.0f, 0);
  this->List->RemoveItem(0);
  EXPECT_EQ(this->List->GetNumberOfItems(), 0);
  this->List->ExpectWellFormed();
  EXPECT_EQ(this->List->GetKey(0), 0.0f);

  // The emptied list takes items again.
  EXPECT_EQ(this->List->InsertItem(2.0f, 0), 0);
  EXPECT_EQ(this->List->GetKey(0), 2.0f);
  this->List->ExpectWellFormed();
}

TEST_F(KeyTimeListTest, RemoveAllItems)
{
  this->List->RemoveAllItems();
  EXPECT_EQ(this->List->GetNumberOfItems(), 0);
  this->List->ExpectWellFormed();

  Fill(this->List, 5);
  this->List->PlaceCursor(3);
  this->List->RemoveAllItems();
  EXPECT_EQ(this->List->GetNumberOfItems(), 0);
  this->List->ExpectWellFormed();
  EXPECT_EQ(this->List->FindKey(10.0f), -1);
}

//------------------------------------------------------------------------------
TEST_F(KeyTimeListTest, NoOperationChangesTheModificationTime)
{
  const vtkMTimeType constructed = this->List->GetMTime();
  vtkKeyTimeList* list = this->List;
  const std::vector<std::pair<const char*, void (*)(vtkKeyTimeList*)>> operations = {
    { "InsertItem first", [](vtkKeyTimeList* l) { l->InsertItem(5.0f, 0); } },
    { "InsertItem before", [](vtkKeyTimeList* l) { l->InsertItem(1.0f, 0); } },
    { "InsertItem after", [](vtkKeyTimeList* l) { l->InsertItem(9.0f, 0); } },
    { "InsertItem between", [](vtkKeyTimeList* l) { l->InsertItem(3.0f, 0); } },
    { "InsertItem present", [](vtkKeyTimeList* l) { l->InsertItem(3.0f, 1); } },
    { "FindKey", [](vtkKeyTimeList* l) { l->FindKey(5.0f); } },
    { "MoveCursorTo", [](vtkKeyTimeList* l) { l->MoveCursorTo(0); } },
    { "GetKey", [](vtkKeyTimeList* l) { l->GetKey(3); } },
    { "RemoveItem middle", [](vtkKeyTimeList* l) { l->RemoveItem(2); } },
    { "RemoveItem first", [](vtkKeyTimeList* l) { l->RemoveItem(0); } },
    { "RemoveItem last", [](vtkKeyTimeList* l) { l->RemoveItem(1); } },
    { "RemoveAllItems", [](vtkKeyTimeList* l) { l->RemoveAllItems(); } },
  };
  for (const auto& operation : operations)
  {
    operation.second(list);
    EXPECT_EQ(list->GetMTime(), constructed) << "after " << operation.first;
  }
  EXPECT_EQ(list->GetNumberOfItems(), 0);
}

TEST(KeyTimeList, ReportsTheBaseClassName)
{
  vtkNew<vtkKeyTimeList> list;
  EXPECT_STREQ(list->GetClassName(), "vtkObject");
  EXPECT_TRUE(list->IsA("vtkObject"));
  EXPECT_FALSE(list->IsA("vtkKeyTimeList"));
}

//------------------------------------------------------------------------------
// A factory that offers a list of its own for "vtkKeyTimeList".
vtkObject* CreateProbeList()
{
  return ProbeList::New();
}

class ListOverrideFactory : public vtkObjectFactory
{
public:
  static ListOverrideFactory* New()
  {
    ListOverrideFactory* factory = new ListOverrideFactory;
    factory->InitializeObjectBase();
    return factory;
  }
  const char* GetVTKSourceVersion() override { return VTK_SOURCE_VERSION; }
  const char* GetDescription() override { return "keyed list test factory"; }

protected:
  ListOverrideFactory()
  {
    this->RegisterOverride(
      "vtkKeyTimeList", "ProbeList", "keyed list test override", 1, CreateProbeList);
  }
};

TEST(KeyTimeList, NewDoesNotAskTheObjectFactory)
{
  vtkNew<ListOverrideFactory> factory;
  vtkObjectFactory::RegisterFactory(factory);
  vtkKeyTimeList* list = vtkKeyTimeList::New();
  vtkObjectFactory::UnRegisterFactory(factory);

  EXPECT_EQ(dynamic_cast<ProbeList*>(list), nullptr);
  list->Delete();
}

} // namespace
