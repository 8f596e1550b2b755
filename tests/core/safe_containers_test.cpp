// Checked containers: a bad index is logged and closes the program in order, never crashes it.
#include <stdexcept>

#include "core/safe_containers.h"
#include "core_fixture.h"

using t4::test::CoreFixture;

using SafeContainers = CoreFixture;

TEST_F(SafeContainers, VectorBadIndexLogsClosesAndFallsBackToElementZero) {
  struct Case {
    int index;
    bool bad;
  };
  const Case cases[] = {{-1, true}, {0, false}, {2, false}, {3, true}, {1000, true}};
  cSafeVector<int> v{10, 20, 30};
  std::string expected;
  int expectedCloses = 0;
  for (const Case& c : cases) {
    int& got = v.At(c.index);
    if (c.bad) {
      EXPECT_EQ(&got, &v[0]) << c.index;
      AppendFormat(expected, "err V[%d] ( 3 , 4 )\r\n", c.index);
      ++expectedCloses;
    } else {
      EXPECT_EQ(&got, &v[static_cast<size_t>(c.index)]) << c.index;
    }
  }
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(CloseRequests(), expectedCloses);
}

TEST_F(SafeContainers, EmptyVectorLogsClosesAndRaisesOutOfRange) {
  cSafeVector<double> v;
  try {
    v.At(0);
    FAIL() << "expected out_of_range";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
  }
  EXPECT_EQ(Log(), "err V[0] ( 0 , 8 )\r\n");
  EXPECT_EQ(CloseRequests(), 1);
}

TEST_F(SafeContainers, ListBadIndexReturnsOneSharedDefaultElement) {
  int a = 1, b = 2, c = 3, d = 4;
  cSafeList<int*> list{&a, &b, &c, &d};
  EXPECT_EQ(list.At(2), &c);
  int*& fallback = list.At(7);
  EXPECT_EQ(fallback, nullptr);
  EXPECT_EQ(&list.At(-3), &fallback);  // the same object on every failure
  EXPECT_EQ(Log(), "err L[7] ( 4 , 8 )\r\nerr L[-3] ( 4 , 8 )\r\n");
  EXPECT_EQ(CloseRequests(), 2);
}

TEST_F(SafeContainers, FillWritesEveryElementAndAnEmptyFillLogsNothing) {
  cSafeVector<BYTE> flags(5, 0);
  flags.Fill(7);
  EXPECT_EQ(flags, (cSafeVector<BYTE>(5, 7)));
  cSafeVector<int> empty;
  empty.Fill(3);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(CloseRequests(), 0);
}
