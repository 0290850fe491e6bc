#include "ComObj.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

class ComObjTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_.emplace(
        "ORVANT_REGISTRY",
        folder_.Write("registry.ini",
                      "[ProgID]\n"
                      "Sample.Object=" KXBR_TEST_BINARY_DIR "/libSampleAuto.so:CreateSampleObject\n"
                      "Sample.NoLibrary=/nonexistent/libX.so:CreateX\n"
                      "Sample.NoFactory=" KXBR_TEST_BINARY_DIR
                      "/libSampleAuto.so:NoSuchFactory\n"));
  }
  TempFolder folder_;
  std::optional<ScopedEnv> registry_;
};

TEST_F(ComObjTest, LibraryObjectIsCalledLateBoundWithByReferenceArguments) {
  const Variant object(CreateOleObject("sample.object"));
  EXPECT_EQ(OleInvoke(object, "ADD", {Variant(2), Variant(40)}).AsInteger(), 42);

  std::vector<Variant> args{Variant("left"), Variant(7)};
  OleInvoke(object, "Swap", args);
  EXPECT_EQ(args[0], Variant(7));
  EXPECT_EQ(args[1], Variant("left"));

  EXPECT_EQ(OleGet(object, "Name").AsString(), "sample");
  OleSet(object, "name", Variant("renamed"));
  EXPECT_EQ(OleGet(object, "Name").AsString(), "renamed");
  EXPECT_EQ(OleGet(object, "Name").VarType(), varOleStr);
}

TEST_F(ComObjTest, FailuresArriveAsExceptionsWithClearTexts) {
  struct Case {
    const char* progID;
    const char* message;
  } cases[] = {{"No.Such.ProgID", "Invalid class string"},
               {"InternetExplorer.Application", "Invalid class string"},
               {"Sample.NoLibrary", "Class not registered"},
               {"Sample.NoFactory", "Class not registered"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.progID);
    try {
      CreateOleObject(c.progID);
      ADD_FAILURE() << "created";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  const Variant object(CreateOleObject("Sample.Object"));
  EXPECT_THROW(OleInvoke(object, "NoSuchMethod"), EOleSysError);
  EXPECT_THROW(OleInvoke(object, "Add", {Variant(1)}), EOleSysError);
  try {
    OleInvoke(object, "Fail");
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "callee's own text");
  }
  EXPECT_THROW(OleInvoke(Variant(), "Add"), EOleError);
  EXPECT_THROW(OleInvoke(Variant::Null(), "Add"), EOleError);
}

TEST_F(ComObjTest, InProcessFactoriesComeFirst) {
  class TLocal : public TAutoObject {
   public:
    TLocal() {
      AddProperty("Kind", [] { return Variant("local"); });
    }
  };
  RegisterProgID("Sample.Object", [] { return std::make_shared<TLocal>(); });
  EXPECT_EQ(OleGet(Variant(CreateOleObject("Sample.Object")), "Kind").AsString(), "local");
  UnregisterProgID("Sample.Object");
  EXPECT_THROW(OleGet(Variant(CreateOleObject("Sample.Object")), "Kind"), EOleSysError);
}
