// The wire protocol: exact Variant types, messages, and refusal of bad input.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <thread>

#include "ComObj.h"
#include "Wire.h"

namespace {

Variant Array1(int low, std::vector<Variant> items) {
  Variant a = VarArrayCreate({low, low + static_cast<int>(items.size()) - 1}, varVariant);
  for (size_t k = 0; k < items.size(); ++k) a[low + static_cast<int>(k)] = items[k];
  return a;
}

struct TValueCase {
  const char* name;
  Variant value;
};

std::vector<TValueCase> ValueCases() {
  Variant grid = VarArrayCreate({-1, 1, 5, 6}, varVariant);
  grid.At({-1, 5}) = Variant::Wide("左上");
  grid.At({1, 6}) = Variant(3.5);
  Variant typed = VarArrayCreate({1, 2}, varOleStr);
  typed[1] = Variant::Wide("宽");
  Variant integers = VarArrayCreate({0, 2}, varInteger);
  integers[2] = Variant(-7);
  const Variant package = Array1(
      0, {Array1(1, {Variant::Wide("KXBR07"), Variant(14)}),
          Array1(1, {Array1(0, {Variant::Wide("合同"), Variant::Wide("sp01")})}),
          Array1(1, {Array1(0, {Variant::Ansi("\x04"), Variant::Wide(""), Variant::Null()})})});
  return {
      {"Empty", Variant()},
      {"Null", Variant::Null()},
      {"True", Variant(true)},
      {"False", Variant(false)},
      {"Smallint", Variant::OfType(varSmallint, -32768)},
      {"IntegerMax", Variant(INT32_MAX)},
      {"IntegerMin", Variant(INT32_MIN)},
      {"ShortInt", Variant::OfType(varShortInt, -128)},
      {"Byte", Variant::OfType(varByte, 255)},
      {"Word", Variant::OfType(varWord, 65535)},
      {"LongWord", Variant::OfType(varLongWord, 4294967295LL)},
      {"Int64Min", Variant(INT64_MIN)},
      {"Error", Variant::OfType(varError, -2147352572LL)},
      {"Single", Variant::OfSingle(0.1f)},
      {"Double", Variant(0.1)},
      {"DoubleWhole", Variant(2.0)},
      {"DoubleHuge", Variant(1e300)},
      {"DoubleInfinite", Variant(-std::numeric_limits<double>::infinity())},
      {"SingleWhole", Variant::OfSingle(3.0f)},
      {"DateWhole", Variant::FromDate(45000)},
      {"Currency", Variant::FromCurrency(-123456789)},
      {"Date", Variant::FromDate(45000.75)},
      {"AnsiChinese", Variant::Ansi("报表开启中")},
      {"WideChinese", Variant::Wide("报表开启中")},
      {"AnsiEmpty", Variant::Ansi("")},
      {"WideEmpty", Variant::Wide("")},
      {"BytesNotUtf8", Variant::Ansi(std::string("\xff\x00\xfe", 3))},
      {"UnassignedDispatch", Variant(DispatchPtr())},
      {"Array1Based", Array1(1, {Variant(1), Variant::Wide("a"), Variant::Null()})},
      {"Array2D", grid},
      {"ArrayEmpty", VarArrayCreate({1, 0}, varVariant)},
      {"ArrayOfOleStr", typed},
      {"ArrayOfInteger", integers},
      {"Package", package},
  };
}

TEST(WireTest, VariantsKeepTypeValueAndBounds) {
  for (const TValueCase& c : ValueCases()) {
    SCOPED_TRACE(c.name);
    const Variant back = DecodeVariant(EncodeVariant(c.value));
    EXPECT_EQ(back.VarType(), c.value.VarType());
    EXPECT_TRUE(back == c.value);
  }
}

TEST(WireTest, FloatsKeepTheirSignAndNaN) {
  const Variant zero = DecodeVariant(EncodeVariant(Variant(-0.0)));
  EXPECT_EQ(zero.VarType(), varDouble);
  EXPECT_TRUE(std::signbit(zero.RawDouble()));
  const Variant nan = DecodeVariant(EncodeVariant(Variant::FromDate(std::nan(""))));
  EXPECT_EQ(nan.VarType(), varDate);
  EXPECT_TRUE(std::isnan(nan.RawDouble()));
}

TEST(WireTest, AutomationObjectsDoNotTravel) {
  class TObject : public TAutoObject {};
  const Variant object(DispatchPtr(std::make_shared<TObject>()));
  for (const Variant& v : {object, Array1(0, {Variant(1), object})}) {
    try {
      EncodeVariant(v);
      ADD_FAILURE() << "encoded an object";
    } catch (const EWireError& e) {
      EXPECT_EQ(e.Fault(), wfUnsupported);
      EXPECT_NE(e.Message().find("automation object"), std::string::npos);
    }
  }
}

TEST(WireTest, MessagesRoundTrip) {
  TWireMessage invoke;
  invoke.Kind = wkInvoke;
  invoke.Name = "QueryData";
  invoke.Args = {Variant::Wide("GENES"), Variant(), Array1(1, {Variant(2)})};
  TWireMessage result;
  result.Kind = wkResult;
  result.Value = Variant(true);
  result.OutArgs = {{1, Variant::Wide("row")}};
  TWireMessage error;
  error.Kind = wkError;
  error.Name = "Unknown name.";
  error.ErrorCode = DISP_E_UNKNOWNNAME;
  error.ErrorClass = "EOleSysError";
  TWireMessage set;
  set.Kind = wkSet;
  set.Name = "ProductID";
  set.Value = Variant(3);
  for (const TWireMessage& m : {invoke, result, error, set}) {
    SCOPED_TRACE(static_cast<int>(m.Kind));
    const TWireMessage back = DecodeWireFrame(EncodeWireFrame(m));
    EXPECT_EQ(back.Kind, m.Kind);
    EXPECT_EQ(back.Name, m.Name);
    EXPECT_TRUE(back.Value == m.Value);
    ASSERT_EQ(back.Args.size(), m.Args.size());
    for (size_t k = 0; k < m.Args.size(); ++k) EXPECT_TRUE(back.Args[k] == m.Args[k]);
    ASSERT_EQ(back.OutArgs.size(), m.OutArgs.size());
    for (size_t k = 0; k < m.OutArgs.size(); ++k) {
      EXPECT_EQ(back.OutArgs[k].first, m.OutArgs[k].first);
      EXPECT_TRUE(back.OutArgs[k].second == m.OutArgs[k].second);
    }
    EXPECT_EQ(back.ErrorCode, m.ErrorCode);
    EXPECT_EQ(back.ErrorClass, m.ErrorClass);
  }
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

TEST(WireTest, BadPayloadsAreRefusedWithTheirReason) {
  struct TCase {
    const char* name;
    std::string payload;
    TWireFault fault;
    const char* text;
  };
  const TCase cases[] = {
      {"Empty", "", wfMalformed, "ends inside"},
      {"NotAnArray", Bytes({0x01}), wfMalformed, "must be an array"},
      {"Map", Bytes({0x81, 0x01, 0x02}), wfMalformed, "map"},
      {"Binary", Bytes({0x93, 0x01, 0x02, 0xc4, 0x00}), wfMalformed, "binary"},
      {"OtherVersion", Bytes({0x93, 0x02, 0x01, 0xa1, 'X'}), wfVersion, "version 2"},
      {"UnknownKind", Bytes({0x93, 0x01, 0x09, 0xa1, 'X'}), wfMalformed, "kind 9"},
      {"CreateWithoutName", Bytes({0x92, 0x01, 0x01}), wfMalformed, "needs 3 items"},
      {"TrailingBytes", Bytes({0x93, 0x01, 0x01, 0xa1, 'X', 0x00}), wfMalformed, "follow"},
      {"Truncated", Bytes({0x93, 0x01, 0x01, 0xa5, 'X'}), wfMalformed, "ends inside"},
      // Set "P" to a Smallint of 40000.
      {"SmallintOutOfRange", Bytes({0x94, 0x01, 0x04, 0xa1, 'P', 0x92, 0x02, 0xcd, 0x9c, 0x40}),
       wfMalformed, "out of range"},
      {"UnknownType", Bytes({0x94, 0x01, 0x04, 0xa1, 'P', 0x92, 0x0f, 0x00}), wfMalformed,
       "unknown type"},
      {"BooleanAsInteger", Bytes({0x94, 0x01, 0x04, 0xa1, 'P', 0x92, 0x0b, 0x01}), wfMalformed,
       "Boolean"},
      // An array claiming 2^24 elements with none present.
      {"ClaimedElements", Bytes({0x94, 0x01, 0x04, 0xa1, 'P',  0x93, 0xcd, 0x20, 0x0c, 0x92, 0x01,
                                 0xce, 0x01, 0x00, 0x00, 0x00, 0xdd, 0x01, 0x00, 0x00, 0x00}),
       wfMalformed, ""},
      {"CountDoesNotMatchBounds",
       Bytes({0x94, 0x01, 0x04, 0xa1, 'P', 0x93, 0xcd, 0x20, 0x0c, 0x92, 0x01, 0x02, 0x91, 0x91,
              0x00}),
       wfMalformed, "does not match"},
      {"StringElementType",
       Bytes({0x94, 0x01, 0x04, 0xa1, 'P', 0x93, 0xcd, 0x21, 0x00, 0x92, 0x01, 0x01, 0x91, 0x91,
              0x00}),
       wfMalformed, "not an array type"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      DecodeWirePayload(c.payload);
      ADD_FAILURE() << "accepted";
    } catch (const EWireError& e) {
      EXPECT_EQ(e.Fault(), c.fault);
      EXPECT_NE(e.Message().find(c.text), std::string::npos) << e.Message();
    }
  }
}

TEST(WireTest, NestingIsLimitedBothWays) {
  Variant deep = Variant(1);
  for (int k = 0; k <= kWireMaxDepth; ++k) deep = Array1(0, {deep});
  EXPECT_THROW(EncodeVariant(deep), EWireError);
  // The same nesting written by hand is refused by the decoder.
  std::string bytes;
  for (int k = 0; k < 200; ++k) bytes += Bytes({0x93, 0xcd, 0x20, 0x0c, 0x92, 0x00, 0x00, 0x91});
  EXPECT_THROW(DecodeVariant(bytes), EWireError);
}

TEST(WireTest, FramesCheckTheirLengthAndLimit) {
  TWireMessage get;
  get.Kind = wkGet;
  get.Name = std::string(100, 'x');
  const std::string frame = EncodeWireFrame(get);
  EXPECT_EQ(DecodeWireHeader(reinterpret_cast<const unsigned char*>(frame.data())),
            frame.size() - kWireHeaderSize);
  EXPECT_THROW(DecodeWireFrame(frame.substr(0, frame.size() - 1)), EWireError);
  EXPECT_THROW(DecodeWireFrame(frame + "x"), EWireError);
  try {
    EncodeWireFrame(get, 50);
    ADD_FAILURE() << "an oversized frame was encoded";
  } catch (const EWireError& e) {
    EXPECT_EQ(e.Fault(), wfOversized);
  }
  try {
    DecodeWireFrame(frame, 50);
    ADD_FAILURE() << "an oversized frame was decoded";
  } catch (const EWireError& e) {
    EXPECT_EQ(e.Fault(), wfOversized);
  }
}

// A connected pair: the channel under test and the raw other end.
class WireChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    channel_ = std::make_unique<TWireChannel>(fds[0], 1024);
    peer_ = fds[1];
  }
  void TearDown() override {
    if (peer_ >= 0) ::close(peer_);
  }
  void PeerWrite(const std::string& bytes) {
    ASSERT_EQ(::write(peer_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  TWireFault ReceiveFault(int idleMs, int frameMs) {
    TWireMessage m;
    try {
      channel_->Receive(m, idleMs, frameMs);
    } catch (const EWireError& e) {
      return e.Fault();
    }
    ADD_FAILURE() << "no failure";
    return wfMalformed;
  }

  std::unique_ptr<TWireChannel> channel_;
  int peer_ = -1;
};

TEST_F(WireChannelTest, FramesArriveWholeEvenWhenSentTogether) {
  TWireMessage a, b;
  a.Kind = b.Kind = wkCreate;
  a.Name = "A";
  b.Name = "B";
  PeerWrite(EncodeWireFrame(a) + EncodeWireFrame(b));
  TWireMessage m;
  ASSERT_TRUE(channel_->Receive(m, 1000, 1000));
  EXPECT_EQ(m.Name, "A");
  ASSERT_TRUE(channel_->Receive(m, 1000, 1000));
  EXPECT_EQ(m.Name, "B");
  ::close(peer_);
  peer_ = -1;
  EXPECT_FALSE(channel_->Receive(m, 1000, 1000));
}

TEST_F(WireChannelTest, SilenceAndPartialFramesTimeOut) {
  EXPECT_EQ(ReceiveFault(50, 50), wfTimeout);
  TWireMessage create;
  create.Kind = wkCreate;
  create.Name = "X";
  const std::string frame = EncodeWireFrame(create);
  PeerWrite(frame.substr(0, 6));
  EXPECT_EQ(ReceiveFault(1000, 50), wfTimeout);
}

TEST_F(WireChannelTest, ClosingInsideAFrameIsTruncation) {
  PeerWrite(Bytes({0x00, 0x00, 0x00, 0x10, 0x93}));
  ::close(peer_);
  peer_ = -1;
  EXPECT_EQ(ReceiveFault(1000, 1000), wfTruncated);
}

TEST_F(WireChannelTest, OversizedFramesAreRefusedBeforeReading) {
  PeerWrite(Bytes({0x7f, 0xff, 0xff, 0xff}));
  EXPECT_EQ(ReceiveFault(1000, 1000), wfOversized);
}

TEST_F(WireChannelTest, AMalformedFrameLeavesTheStreamInStep) {
  TWireMessage create;
  create.Kind = wkCreate;
  create.Name = "after";
  PeerWrite(Bytes({0x00, 0x00, 0x00, 0x01, 0xc1}) + EncodeWireFrame(create));
  EXPECT_EQ(ReceiveFault(1000, 1000), wfMalformed);
  TWireMessage m;
  ASSERT_TRUE(channel_->Receive(m, 1000, 1000));
  EXPECT_EQ(m.Name, "after");
}

TEST_F(WireChannelTest, ShutdownWakesABlockedReceive) {
  std::thread stopper([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    channel_->Shutdown();
  });
  TWireMessage m;
  EXPECT_FALSE(channel_->Receive(m, -1, -1));
  stopper.join();
}

}  // namespace
