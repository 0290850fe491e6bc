// The connection components as a form resource declares them. Their traffic with a real
// server is tested with the application server (tests/host).
#include "SConnect.h"

#include <gtest/gtest.h>

#include "DBClient.h"
#include "Reader.h"

namespace {

std::string Resource(const std::string& connectionSettings) {
  return "object Holder: TComponent\n"
         "  object MainMidas: TSocketConnection\n"
         "    ObjectBroker = ObjBroker\n"
         "    SupportCallbacks = False\n" +
         connectionSettings +
         "  end\n"
         "  object ObjBroker: TSimpleObjectBroker\n"
         "  end\n"
         "  object Schemes: TwwClientDataSet\n"
         "    ProviderName = 'pvdConSave'\n"
         "    RemoteServer = MainMidas\n"
         "  end\n"
         "end\n";
}

}  // namespace

TEST(SocketConnectionResource, ReadsItsSettingsAndReferences) {
  TComponent holder(nullptr);
  ReadComponentResText(Resource("    Address = '127.0.0.1'\n    Port = 212\n"), &holder, "t");
  auto* connection = dynamic_cast<TSocketConnection*>(holder.FindComponent("MainMidas"));
  auto* broker = dynamic_cast<TSimpleObjectBroker*>(holder.FindComponent("ObjBroker"));
  auto* schemes = dynamic_cast<TClientDataSet*>(holder.FindComponent("Schemes"));
  ASSERT_TRUE(connection && broker && schemes);
  EXPECT_EQ(connection->Address(), "127.0.0.1");
  EXPECT_EQ(connection->Port(), 212);
  EXPECT_FALSE(connection->SupportCallbacks());
  EXPECT_FALSE(connection->Connected());
  EXPECT_EQ(connection->ObjectBroker(), broker);
  EXPECT_EQ(schemes->RemoteServer(), connection);
  // Freeing a referenced component clears the references to it.
  broker->Free();
  EXPECT_EQ(connection->ObjectBroker(), nullptr);
  connection->Free();
  EXPECT_EQ(schemes->RemoteServer(), nullptr);
}

// Connected from a resource takes effect once everything is read; a failure to connect
// stops the reading with the connection's own reason.
TEST(SocketConnectionResource, ConnectedIsAppliedWhenLoaded) {
  TComponent holder(nullptr);
  try {
    ReadComponentResText(Resource("    Address = '127.0.0.1'\n    Connected = True\n"), &holder,
                         "t");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("ServerName must contain a valid ServerName"), std::string::npos)
        << e.Message();
  }
}
