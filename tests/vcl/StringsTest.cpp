#include <gtest/gtest.h>

#include "Classes.h"
#include "TempFolder.h"

namespace {

using Lines = std::vector<std::string>;

TEST(StringsTest, TextSplitsAtEveryLineBreakAndJoinsWithCrLf) {
  struct Case {
    const char* text;
    Lines lines;
  };
  const Case cases[] = {{"a\r\nb", {"a", "b"}},
                        {"a\r\nb\r\n", {"a", "b"}},
                        {"a\r\n\r\n", {"a", ""}},
                        {"a\rb\nc", {"a", "b", "c"}},
                        {"", {}},
                        {"\r\n", {""}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(list.ToVector(), c.lines);
  }
  TStringList list{"a", "", "b"};
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
  EXPECT_EQ(TStringList().Text(), "");
}

TEST(StringsTest, CommaTextQuotesWhatNeedsIt) {
  struct Case {
    Lines lines;
    const char* text;
  };
  const Case cases[] = {{{"a", "b c", "d,e"}, "a,\"b c\",\"d,e\""},
                        {{""}, "\"\""},
                        {{"a", "", "b"}, "a,,b"},
                        {{"x\"y"}, "\"x\"\"y\""},
                        {{"中文", "tab\there"}, "中文,\"tab\there\""},
                        {{}, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    for (const auto& line : c.lines) list.Add(line);
    EXPECT_EQ(list.CommaText(), c.text);
  }
}

TEST(StringsTest, CommaTextSplitsAtCommasAndUnquotedBlanks) {
  struct Case {
    const char* text;
    Lines lines;
  };
  const Case cases[] = {{"a b,c", {"a", "b", "c"}}, {"\"a b\",c", {"a b", "c"}},
                        {"a,,b", {"a", "", "b"}},   {"\"x\"\"y\"", {"x\"y"}},
                        {" a , b ", {"a", "b"}},    {"a,", {"a", ""}},
                        {"\"open", {"open"}},       {"", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    list.SetCommaText(c.text);
    EXPECT_EQ(list.ToVector(), c.lines);
  }
  TStringList list;
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  list.SetDelimitedText("a;'b;c' d");
  EXPECT_EQ(list.ToVector(), (Lines{"a", "b;c", "d"}));
  EXPECT_EQ(list.DelimitedText(), "a;'b;c';d");
}

TEST(StringsTest, NamesAndValues) {
  TStringList list{"Key=1", "Other = 2", "plain", "key=dup"};
  EXPECT_EQ(list.Values("KEY"), "1");
  EXPECT_EQ(list.Values("Other "), " 2");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.Names(1), "Other ");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.IndexOfName("key"), 0);
  EXPECT_EQ(list.ValueFromIndex(2), "");
  list.SetValues("Key", "9");
  list.SetValues("New", "x");
  EXPECT_EQ(list.ToVector(), (Lines{"Key=9", "Other = 2", "plain", "key=dup", "New=x"}));
  list.SetValues("Key", "");  // an empty value deletes the line
  EXPECT_EQ(list.Strings(0), "Other = 2");
  EXPECT_EQ(list.Values("key"), "dup");
}

TEST(StringsTest, SortedListsAndDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "apple"}) list.Add(s);
  EXPECT_EQ(list.ToVector(), (Lines{"Apple", "fig", "pear"}));  // dupIgnore, no case
  EXPECT_EQ(list.IndexOf("APPLE"), 0);
  EXPECT_EQ(list.Add("FIG"), 1);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("pear"), EStringListError);
  EXPECT_EQ(list.Count(), 3);
  list.SetDuplicates(dupAccept);
  list.Add("pear");
  EXPECT_EQ(list.Count(), 4);
  list.SetCaseSensitive(true);
  list.Add("apple");
  EXPECT_EQ(list.IndexOf("apple"), 0);  // lower case sorts before upper case here
  int index = -1;
  EXPECT_FALSE(list.Find("banana", index));
  EXPECT_EQ(index, 2);

  TStringList unsorted{"b", "a", "c"};
  unsorted.SetSorted(true);
  EXPECT_EQ(unsorted.ToVector(), (Lines{"a", "b", "c"}));
}

TEST(StringsTest, IndexErrorsNameTheIndex) {
  TStringList list{"a"};
  try {
    list.Strings(3);
    FAIL() << "no exception";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (3)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(2, "x"), EStringListError);
  EXPECT_EQ(list.Count(), 1);
}

class TChangeCounter : public TObject {
 public:
  void Changed(TObject*) { ++changes; }
  void Changing(TObject*) { ++changings; }
  int changes = 0;
  int changings = 0;
};

TEST(StringsTest, ChangeEventsFireOncePerUpdate) {
  TStringList list;
  TChangeCounter counter;
  list.SetOnChange(MethodOf<&TChangeCounter::Changed>(&counter));
  list.SetOnChanging(MethodOf<&TChangeCounter::Changing>(&counter));
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(counter.changes, 2);
  EXPECT_EQ(counter.changings, 2);
  list.BeginUpdate();
  list.SetText("x\r\ny\r\nz");
  list.Delete(0);
  EXPECT_EQ(counter.changes, 2);
  list.EndUpdate();
  EXPECT_EQ(counter.changes, 3);
  EXPECT_EQ(counter.changings, 3);
  EXPECT_EQ(list.ToVector(), (Lines{"y", "z"}));
}

TEST(StringsTest, AssignCopiesLinesAndObjectsUnderTheTargetsRules) {
  TObject marker;
  TStringList source{"b", "a", "b"};
  source.SetObjects(1, &marker);
  TStringList target;
  target.SetSorted(true);
  target.Assign(&source);
  EXPECT_EQ(target.ToVector(), (Lines{"a", "b"}));
  EXPECT_EQ(target.Objects(0), &marker);
  EXPECT_EQ(target.IndexOfObject(&marker), 0);
  TStringList copy;
  copy.Assign(&source);
  EXPECT_TRUE(copy.Equals(&source));
  copy.Move(0, 2);
  EXPECT_EQ(copy.ToVector(), (Lines{"a", "b", "b"}));
  copy.Exchange(0, 1);
  EXPECT_EQ(copy.Objects(1), &marker);
}

TEST(StringsTest, FilesRoundTrip) {
  TempFolder folder;
  TStringList list{"第一行", "second"};
  const std::string file = folder.Path() + "/lines.txt";
  list.SaveToFile(file);
  TStringList loaded;
  loaded.LoadFromFile(file);
  EXPECT_EQ(loaded.ToVector(), list.ToVector());
  EXPECT_THROW(loaded.LoadFromFile(folder.Path() + "/missing.txt"), EInOutError);
}

}  // namespace
