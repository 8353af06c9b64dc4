#include "schedule/DmODBackup.h"

#include "common/Errors.h"
#include "config/TimeOfDay.h"
#include "FakeFbClient.h"

#include <gtest/gtest.h>

namespace odb {
namespace {


struct Walked {
  int32_t id;
  std::string time;
  bool operator==(const Walked&) const = default;
};

std::vector<Walked> Walk(TMemTimes& table) {
  std::vector<Walked> rows;
  TControlsDisabled quiet(table);
  for (table.First(); !table.Eof(); table.Next()) rows.push_back({*table.ID(), FormatTime(*table.Time())});
  return rows;
}

void AddRow(TDataODBackup& dm, std::string_view time) {
  dm.MemTimes.Append();
  dm.MemTimes.SetTimeText(time);
  dm.MemTimes.Post();
}

class TimesTableTest : public ::testing::Test {
 protected:
  // No client library is needed for the table (the Windows test run has none).
  test::FakeFbClient fb;
  TDataODBackup dm{fb};
  TMemTimes& table = dm.MemTimes;
};

TEST_F(TimesTableTest, CreatedClosed) {
  EXPECT_EQ(dm.LastTimeId, 0);
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(table.State(), TDataSetState::Inactive);
  EXPECT_EQ(dm.MemTimesID.DisplayLabel, "P.Č.");
  EXPECT_TRUE(dm.MemTimesID.ReadOnly);
}

TEST_F(TimesTableTest, WalkOverClosedTableRaises) {
  EXPECT_THROW(table.First(), EDatabaseError);
  EXPECT_THROW(Walk(table), EDatabaseError);
  EXPECT_FALSE(table.ControlsDisabled()) << "the guard resumes the view after a failed walk";
  EXPECT_THROW(table.Append(), EDatabaseError);
}

TEST_F(TimesTableTest, SortedByTimeWithIdsInLoadOrder) {
  table.Open();
  AddRow(dm, "18:00:00");
  AddRow(dm, "12:00:00");
  AddRow(dm, "7:30");
  AddRow(dm, "12:00:00");
  EXPECT_EQ(Walk(table), (std::vector<Walked>{
                             {3, "07:30:00"}, {2, "12:00:00"}, {4, "12:00:00"}, {1, "18:00:00"}}));
  EXPECT_EQ(table.RecordCount(), 4);
}

TEST_F(TimesTableTest, ThirtyRowsThenTheNextIsRefusedForGood) {
  table.Open();
  for (int i = 0; i < 30; ++i) AddRow(dm, std::to_string(i % 24) + ":" + std::to_string(i));
  EXPECT_EQ(table.RecordCount(), 30);
  for (const int refused : {31, 32}) {
    try {
      table.Append();
      FAIL() << "no error";
    } catch (const ERangeError& e) {
      EXPECT_EQ(e.Message(), std::to_string(refused) +
                                 " není platná hodnota pro pole 'P.Č.'. Povolený rozsah je 1 až 30");
    }
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    EXPECT_TRUE(dm.MemTimesID.ReadOnly);
    EXPECT_EQ(dm.LastTimeId, refused);
  }
  EXPECT_EQ(table.RecordCount(), 30);
}

TEST_F(TimesTableTest, RowsWithoutTimeAreDroppedAndUseUpTheirId) {
  table.Open();
  AddRow(dm, "10:00");
  AddRow(dm, "");  // started and left empty
  table.Append();
  table.SetTimeText("11:00");
  table.SetTimeText("  ");
  table.Post();
  table.Append();
  table.First();  // a pending untouched row is cancelled by a walk
  AddRow(dm, "09:00");
  EXPECT_EQ(Walk(table), (std::vector<Walked>{{5, "09:00:00"}, {1, "10:00:00"}}));
}

TEST_F(TimesTableTest, ClearingTheTimeOfARowKeepsItsOldTime) {
  table.Open();
  AddRow(dm, "10:00");
  table.Edit();
  table.SetTimeText("");
  table.Post();
  EXPECT_EQ(table.State(), TDataSetState::Browse);
  EXPECT_EQ(Walk(table), (std::vector<Walked>{{1, "10:00:00"}}));
}

TEST_F(TimesTableTest, PendingEditIsPostedBeforeAWalkAndResorted) {
  table.Open();
  AddRow(dm, "10:00");
  AddRow(dm, "11:00");
  table.First();
  table.Edit();
  table.SetTimeText("12:00");
  EXPECT_EQ(Walk(table), (std::vector<Walked>{{2, "11:00:00"}, {1, "12:00:00"}}));
  table.Edit();
  table.Cancel();
  EXPECT_EQ(table.RecordCount(), 2);
}

TEST_F(TimesTableTest, InvalidTimeTextIsRefusedAndTheRowStaysInEditing) {
  table.Open();
  table.Append();
  for (const std::string_view bad : {"24:00", "7:", "7:60", "abc", "7:30:15:1", "1:2:3,", "123"}) {
    try {
      table.SetTimeText(bad);
      FAIL() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid time");
    }
    EXPECT_EQ(table.State(), TDataSetState::Insert);
  }
}

TEST(TryStrToTime, FormsTypedOnCzechWindows) {
  const std::pair<std::string_view, int64_t> cases[] = {
      {"7", 7 * 3600000},         {"7:30", 27000000},       {"07:30:00", 27000000},
      {" 7:05:09 ", 25509000},    {"23:59:59", 86399000},   {"0:0", 0},
      {"7:30:15,25", 27015250},   {"7:30:15.5", 27015500},  {"7:30:15.125", 27015125},
      // hours and minutes as Czech people write them
      {"18.30", 66600000},        {"18,30", 66600000},      {"7.5", 25500000},
      {" 07.05 ", 25500000}};
  for (const auto& [text, ms] : cases) {
    const auto time = TryStrToTime(text);
    ASSERT_TRUE(time) << text;
    EXPECT_EQ(time->Ms(), ms) << text;
  }
  // Refused rather than read as another time.
  for (const char* text : {"", "-1", "18.", "18.60", "18.30.15", "18.30:15", "7:30.5", "7:30:15.", "24.00"}) {
    EXPECT_FALSE(TryStrToTime(text)) << text;
  }
}

TEST_F(TimesTableTest, ViewRedrawsOnlyWhileControlsAreEnabled) {
  int redraws = 0;
  table.SetViewObserver([&] { ++redraws; });
  table.Open();
  AddRow(dm, "10:00");
  AddRow(dm, "09:00");
  ASSERT_GT(redraws, 0);
  redraws = 0;
  {
    TControlsDisabled outer(table);
    TControlsDisabled inner(table);
    table.First();
    table.Next();
  }
  EXPECT_EQ(redraws, 1) << "one redraw when the outermost guard ends";
  redraws = 0;
  { TControlsDisabled idle(table); }
  EXPECT_EQ(redraws, 0);
}

TEST_F(TimesTableTest, DeleteEmptyAndClose) {
  table.Open();
  EXPECT_THROW(table.Delete(), EDatabaseError);
  AddRow(dm, "10:00");
  AddRow(dm, "11:00");
  table.First();
  table.Delete();
  EXPECT_EQ(Walk(table), (std::vector<Walked>{{2, "11:00:00"}}));
  table.EmptyTable();
  EXPECT_EQ(table.RecordCount(), 0);
  table.First();
  EXPECT_TRUE(table.Eof());
  table.Close();
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0);
  AddRow(dm, "8");
  EXPECT_EQ(*table.ID(), 3) << "IDs are never reused in one run";
}

}  // namespace
}  // namespace odb
