#include "Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

class VariantTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = FormatSettings(); }
  void TearDown() override { FormatSettings() = saved_; }

 private:
  TFormatSettings saved_;
};

// The message of the exception `call` raises, checked to be of class E.
template <typename E>
std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const E& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return std::string("wrong exception: ") + e.what();
  }
  return "no exception";
}

class Recorder : public IDispatch {
 public:
  Variant Invoke(const std::string&, std::vector<Variant>&) override { return {}; }
  Variant GetProperty(const std::string&) override { return {}; }
  void SetProperty(const std::string&, const Variant&) override {}
};

}  // namespace

TEST_F(VariantTest, ToTextByThePlatformRules) {
  struct Case {
    const char* name;
    Variant value;
    const char* text;
  } cases[] = {
      {"Empty", Variant(), ""},
      {"Null", Variant::Null(), ""},
      {"Integer", Variant(-42), "-42"},
      {"Int64", Variant(int64_t{1} << 40), "1099511627776"},
      {"Byte", Variant::OfType(varByte, 200), "200"},
      {"Boolean true", Variant(true), "True"},
      {"Boolean false", Variant(false), "False"},
      {"Double whole", Variant(3.0), "3"},
      {"Double tenth", Variant(0.1), "0.1"},
      {"Double third", Variant(1.0 / 3), "0.333333333333333"},
      {"Double 1E15", Variant(1e15), "1E15"},
      {"Double 15 digits", Variant(123456789012345.0), "123456789012345"},
      {"Currency", Variant::FromCurrency(12345000), "1234.5"},
      {"Date and time", Variant::FromDate(EncodeDate(2024, 3, 5) + 0.5), "2024/03/05 12:00:00"},
      {"Date at midnight", Variant::FromDate(EncodeDate(2024, 3, 5)), "2024/03/05"},
      {"OleStr", Variant::Wide("中文"), "中文"},
      {"String", Variant("abc"), "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.value.AsString(), c.text);
    EXPECT_EQ(VarToStr(c.value), c.text);
  }
}

TEST_F(VariantTest, BooleanIsMinusOneInside) {
  EXPECT_EQ(Variant(true).RawInteger(), -1);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(true).AsDouble(), -1);
  EXPECT_EQ(Variant::OfType(varBoolean, 5).RawInteger(), -1);
  EXPECT_EQ(VarAsType(Variant(true), varOleStr), Variant::Wide("True"));
}

TEST_F(VariantTest, FromTextToBooleanAndNumbers) {
  struct Case {
    const char* text;
    bool boolean;
    int integer;
    double real;
  } cases[] = {
      {"True", true, -1, -1}, {"false", false, 0, 0}, {" TRUE ", true, -1, -1},
      {"0", false, 0, 0},     {"12", true, 12, 12},   {"2.5", true, 2, 2.5},  // half to even
      {"3.5", true, 4, 3.5},  {"-1", true, -1, -1},   {"$10", true, 16, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    for (const Variant& v : {Variant(c.text), Variant::Wide(c.text)}) {
      EXPECT_EQ(v.AsBoolean(), c.boolean);
      EXPECT_EQ(v.AsInteger(), c.integer);
      EXPECT_DOUBLE_EQ(v.AsDouble(), c.real);
    }
  }
  EXPECT_EQ(Variant("1.25").AsCurrency(), 12500);
  EXPECT_EQ(Variant(2.5).AsInteger(), 2);
  EXPECT_EQ(Variant(-2.5).AsInteger(), -2);
  EXPECT_EQ(Variant::FromCurrency(25000).AsInteger(), 2);
  EXPECT_EQ(Variant::FromCurrency(35000).AsInteger(), 4);
  EXPECT_EQ(Variant::FromCurrency(-15001).AsInteger(), -2);
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_FALSE(Variant().AsBoolean());
  EXPECT_EQ(Variant(7).AsCurrency(), 70000);
}

TEST_F(VariantTest, TextToDateReadsTheSettingsFormat) {
  const TDateTime sample = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  EXPECT_EQ(Variant("2024/03/05").AsDate(), EncodeDate(2024, 3, 5));
  EXPECT_EQ(Variant(Variant::FromDate(sample).AsString()).AsDate(), sample);  // round trip
  EXPECT_EQ(Variant("2024/3/5 2:07:09 PM").AsDate(), sample);
  EXPECT_DOUBLE_EQ(Variant("12:00").AsDate(), 0.5);
  EXPECT_EQ(Variant("45356").AsDate(), 45356);
  EXPECT_EQ(VarAsType(Variant("2024/03/05"), varDate), Variant::FromDate(EncodeDate(2024, 3, 5)));
  for (const char* bad : {"2024/02/30", "2024/03/05 25:00", "2024/03/05 10:00 xx", "abc", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(Variant(bad).AsDate(), EVariantTypeCastError);
  }
}

TEST_F(VariantTest, FailedConversionsNameBothTypes) {
  struct Case {
    const char* name;
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {"text to Integer", [] { Variant("abc").AsInteger(); },
       "Could not convert variant of type (String) into type (Integer)"},
      {"wide text to Double", [] { Variant::Wide("1,5").AsDouble(); },
       "Could not convert variant of type (OleStr) into type (Double)"},
      {"text to Boolean", [] { Variant("yes").AsBoolean(); },
       "Could not convert variant of type (String) into type (Boolean)"},
      {"Null to Integer", [] { Variant::Null().AsInteger(); },
       "Could not convert variant of type (Null) into type (Integer)"},
      {"Null strictly to text", [] { Variant::Null().ToStringStrict(); },
       "Could not convert variant of type (Null) into type (String)"},
      {"Null to OleStr", [] { VarAsType(Variant::Null(), varOleStr); },
       "Could not convert variant of type (Null) into type (String)"},
      {"array to text", [] { VarArrayOf({1}).AsString(); },
       "Could not convert variant of type (Array Variant) into type (String)"},
      {"Integer to Dispatch", [] { Variant(1).AsDispatch(); },
       "Could not convert variant of type (Integer) into type (Dispatch)"},
      {"raw text of a number", [] { Variant(1).RawText(); },
       "Could not convert variant of type (Integer) into type (String)"},
      {"raw double of a text", [] { Variant("1").RawDouble(); },
       "Could not convert variant of type (String) into type (Double)"},
      {"Error to Integer", [] { Variant::OfType(varError, 0x80020004).AsInteger(); },
       "Could not convert variant of type (Error) into type (Integer)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MessageOf<EVariantTypeCastError>(c.call), c.message);
  }
}

TEST_F(VariantTest, OverflowsAreRefused) {
  EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(1e10).AsInteger(); }),
            "Overflow while converting variant of type (Double) into type (Integer)");
  EXPECT_THROW(Variant(int64_t{1} << 40).AsInteger(), EVariantOverflowError);
  EXPECT_THROW(Variant(std::nan("")).AsInt64(), EVariantOverflowError);
  EXPECT_THROW(Variant(1e300).AsCurrency(), EVariantOverflowError);
  EXPECT_THROW(Variant(std::numeric_limits<int64_t>::max()).AsCurrency(), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(300), varByte), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(-1), varLongWord), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(1e39), varSingle), EVariantOverflowError);
  EXPECT_EQ(Variant::OfType(varByte, 300).RawInteger(), 44);  // storing cuts to the width
}

TEST_F(VariantTest, VarAsTypeConvertsAndTags) {
  struct Case {
    const char* name;
    Variant from;
    TVarType type;
    Variant expected;
  } cases[] = {
      {"text to Integer", Variant("42"), varInteger, Variant(42)},
      {"Double to Smallint", Variant(12.5), varSmallint, Variant::OfType(varSmallint, 12)},
      {"Integer to OleStr", Variant(7), varOleStr, Variant::Wide("7")},
      {"OleStr to String", Variant::Wide("x"), varString, Variant("x")},
      {"Integer to Boolean", Variant(2), varBoolean, Variant(true)},
      {"text to Currency", Variant("0.5"), varCurrency, Variant::FromCurrency(5000)},
      {"Double to Date", Variant(1.5), varDate, Variant::FromDate(1.5)},
      {"Empty to Integer", Variant(), varInteger, Variant(0)},
      {"Empty to OleStr", Variant(), varOleStr, Variant::Wide("")},
      {"anything to Null", Variant(3), varNull, Variant::Null()},
      {"Integer to Single", Variant(3), varSingle, Variant::OfSingle(3)},
      {"Integer to Variant", Variant(3), varVariant, Variant(3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Variant result = VarAsType(c.from, c.type);
    EXPECT_EQ(result.VarType(), c.expected.VarType());
    EXPECT_EQ(result, c.expected);
  }
  EXPECT_THROW(VarAsType(Variant::Null(), varInteger), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(VarArrayOf({1}), varInteger), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(Variant(1), varArray | varVariant), EVariantTypeCastError);
}

TEST_F(VariantTest, EqualityNeedsTypeAndValue) {
  EXPECT_EQ(Variant(1), Variant(1));
  EXPECT_NE(Variant(1), Variant(int64_t{1}));
  EXPECT_NE(Variant("a"), Variant::Wide("a"));
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_NE(Variant(std::nan("")), Variant(std::nan("")));
  auto object = std::make_shared<Recorder>();
  EXPECT_EQ(Variant(DispatchPtr(object)), Variant(DispatchPtr(object)));
  EXPECT_NE(Variant(DispatchPtr(object)), Variant(DispatchPtr(std::make_shared<Recorder>())));
  EXPECT_EQ(Variant(DispatchPtr(object)).AsDispatch(), object);
  EXPECT_EQ(Variant().AsDispatch(), nullptr);
  EXPECT_EQ(VarArrayOf({1, "a"}), VarArrayOf({1, "a"}));
  EXPECT_NE(VarArrayOf({1, "a"}), VarArrayOf({1, "b"}));
}

TEST_F(VariantTest, ArrayBoundsAndPlatformExamples) {
  const Variant a = VarArrayCreate({1, 9}, varVariant);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 9);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(a.VarType(), varArray | varVariant);
  EXPECT_EQ(VarTypeName(a.VarType()), "Array Variant");
  EXPECT_TRUE(a[1].IsEmpty());

  const Variant b = VarArrayOf({1, "a"});
  EXPECT_EQ(VarArrayLowBound(b, 1), 0);
  EXPECT_EQ(VarArrayHighBound(b, 1), 1);
  EXPECT_EQ(b[1], Variant("a"));

  EXPECT_THROW(VarArrayHighBound(Variant(42), 1), EVariantInvalidArgError);
  EXPECT_EQ(VarArrayDimCount(Variant(42)), 0);
  EXPECT_FALSE(VarIsArray(Variant(42)));
  EXPECT_THROW(VarArrayLowBound(a, 0), EVariantBadIndexError);
  EXPECT_THROW(VarArrayLowBound(a, 2), EVariantBadIndexError);
  EXPECT_THROW(a[0], EVariantBadIndexError);
  EXPECT_THROW(a[10], EVariantBadIndexError);
  EXPECT_THROW(a.At({1, 1}), EVariantBadIndexError);  // wrong number of indexes
  EXPECT_THROW(Variant(1)[0], EVariantInvalidArgError);
  EXPECT_THROW(Variant("x").Array(), EVariantInvalidArgError);

  // Typed arrays start with the type's zero value.
  EXPECT_EQ(VarArrayCreate({0, 1}, varInteger)[0], Variant(0));
  EXPECT_EQ(VarArrayCreate({0, 1}, varOleStr)[1], Variant::Wide(""));
  EXPECT_EQ(VarArrayCreate({0, 1}, varBoolean)[1], Variant(false));
  // An empty array: high bound one below the low bound.
  const Variant empty = VarArrayOf({});
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  EXPECT_TRUE(empty.Array().Elements.empty());
}

TEST_F(VariantTest, ArrayCreationFailures) {
  EXPECT_THROW(VarArrayCreate({}, varVariant), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({1, 2, 3}, varVariant), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({1, -1}, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varString), EVariantArrayCreateError);  // no ANSI arrays
  EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantArrayCreateError);
  // Sizes the machine cannot hold fail cleanly instead of exhausting memory.
  EXPECT_THROW(VarArrayCreate({0, 2000000000, 0, 2000000000}, varVariant),
               EVariantArrayCreateError);
  EXPECT_THROW(
      VarArrayCreate({std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}, varByte),
      EVariantArrayCreateError);
  EXPECT_THROW(Variant::OfType(varDouble, 1), EVariantInvalidArgError);
}

TEST_F(VariantTest, ArraysRoundTripInOneTwoAndThreeDimensions) {
  struct Case {
    const char* name;
    std::vector<int> bounds;
  } cases[] = {
      {"1 dimension", {1, 5}},
      {"2 dimensions", {1, 3, -2, 1}},
      {"3 dimensions", {5, 6, 0, 2, 10, 13}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Variant a = VarArrayCreate(c.bounds, varVariant);
    const size_t dims = c.bounds.size() / 2;
    ASSERT_EQ(VarArrayDimCount(a), static_cast<int>(dims));
    // Visit every index tuple with the leftmost index fastest; each element's value is its
    // visiting order, which must equal its storage position (SAFEARRAY order).
    std::vector<int> index(dims);
    for (size_t k = 0; k < dims; ++k) index[k] = c.bounds[2 * k];
    int order = 0;
    std::vector<std::vector<int>> visited;
    for (;;) {
      a.At(index) = Variant("e" + std::to_string(order++));
      visited.push_back(index);
      size_t k = 0;
      while (k < dims && index[k] == c.bounds[2 * k + 1]) index[k] = c.bounds[2 * k], ++k;
      if (k == dims) break;
      ++index[k];
    }
    const Variant copy = a;
    ASSERT_EQ(static_cast<int>(copy.Array().Elements.size()), order);
    for (int i = 0; i < order; ++i) {
      EXPECT_EQ(copy.Array().Elements[static_cast<size_t>(i)].AsString(), "e" + std::to_string(i));
      EXPECT_EQ(copy.At(visited[static_cast<size_t>(i)]).AsString(), "e" + std::to_string(i));
    }
    for (size_t k = 0; k < dims; ++k) {
      EXPECT_EQ(VarArrayLowBound(copy, static_cast<int>(k) + 1), c.bounds[2 * k]);
      EXPECT_EQ(VarArrayHighBound(copy, static_cast<int>(k) + 1), c.bounds[2 * k + 1]);
    }
  }
  // The documented order for two dimensions: (1,0) follows (0,0).
  Variant grid = VarArrayCreate({0, 1, 0, 1}, varInteger);
  grid.At({1, 0}) = Variant(10);
  grid.At({0, 1}) = Variant(1);
  EXPECT_EQ(grid.Array().Elements[1], Variant(10));
  EXPECT_EQ(grid.Array().Elements[2], Variant(1));
}

TEST_F(VariantTest, CopiesAreDeep) {
  Variant inner = VarArrayOf({1, 2});
  Variant outer = VarArrayOf({inner, "x"});
  Variant copy = outer;
  copy[0][1] = Variant(99);
  copy[1] = Variant("y");
  EXPECT_EQ(outer[0][1], Variant(2));
  EXPECT_EQ(outer[1], Variant("x"));
  EXPECT_EQ(inner[1], Variant(2));

  Variant assigned;
  assigned = outer;
  assigned[0][0] = Variant(7);
  EXPECT_EQ(outer[0][0], Variant(1));

  Variant moved = std::move(assigned);
  EXPECT_EQ(moved[0][0], Variant(7));
  EXPECT_TRUE(assigned.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from is Empty

  Variant& self = moved;
  moved = self;
  EXPECT_EQ(moved[0][0], Variant(7));
}

TEST_F(VariantTest, RedimKeepsElements) {
  Variant a = VarArrayOf({1, 2, 3});
  VarArrayRedim(a, 4);
  EXPECT_EQ(VarArrayHighBound(a, 1), 4);
  EXPECT_EQ(a[2], Variant(3));
  EXPECT_TRUE(a[4].IsEmpty());
  VarArrayRedim(a, 0);
  EXPECT_EQ(a.Array().Elements.size(), 1u);
  EXPECT_EQ(a[0], Variant(1));

  // Two dimensions: the rightmost one grows, and every existing element stays in place.
  Variant grid = VarArrayCreate({1, 2, 1, 2}, varInteger);
  grid.At({2, 1}) = Variant(21);
  grid.At({1, 2}) = Variant(12);
  VarArrayRedim(grid, 3);
  EXPECT_EQ(grid.At({2, 1}), Variant(21));
  EXPECT_EQ(grid.At({1, 2}), Variant(12));
  EXPECT_EQ(grid.At({2, 3}), Variant(0));

  Variant notArray(1);
  EXPECT_THROW(VarArrayRedim(notArray, 3), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayRedim(a, -5), EVariantArrayCreateError);
  EXPECT_EQ(a.Array().Elements.size(), 1u);  // a refused redim changes nothing
}

TEST_F(VariantTest, TypeNames) {
  EXPECT_EQ(VarTypeName(varEmpty), "Empty");
  EXPECT_EQ(VarTypeName(varInteger), "Integer");
  EXPECT_EQ(VarTypeName(varString), "String");
  EXPECT_EQ(VarTypeName(varOleStr), "OleStr");
  EXPECT_EQ(VarTypeName(varDate), "Date");
  EXPECT_EQ(VarTypeName(varArray | varOleStr), "Array OleStr");
  EXPECT_EQ(VarTypeName(0x0777), "$0777");
}
