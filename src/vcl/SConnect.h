// The client side of the application-server connection: TSocketConnection reaches an
// orvant-appserver over TCP (the frames of Wire.h), creates the object its ServerName
// names there, and hands out that object as AppServer, a dispatch object whose calls
// travel the wire (arguments by reference, the callee's exceptions raised again here).
// TSimpleObjectBroker chooses among several servers. Both are components, so that forms
// declare them in their resources (a form's MainMidas and ObjBroker).
//
// Deviations by design:
// - SupportCallbacks is kept but never used: the server calls nobody back.
// - A call that times out, or a connection that drops, closes the connection: the stream
//   cannot be trusted afterwards. Later calls fail at once with "Not connected".
// - AppServer may be handed an object created in process (the local automation path);
//   Connected is then true without any socket, as when the platform is given one.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Classes.h"
#include "SysUtils.h"
#include "Variant.h"
#include "Wire.h"

struct TServerItem {
  std::string ComputerName;
  int Port = 0;  // 0: the connection's own port
  std::string DisplayName;
  bool Enabled = true;
  bool HasFailed = false;
};

class TSimpleObjectBroker : public TComponent {
  KXBR_CLASS(TSimpleObjectBroker, TComponent)

 public:
  explicit TSimpleObjectBroker(TComponent* owner);

  std::vector<TServerItem>& Servers() { return servers_; }
  const std::vector<TServerItem>& Servers() const { return servers_; }
  void AddServer(const std::string& computerName, int port = 0);
  bool LoadBalanced() const { return loadBalanced_; }
  void SetLoadBalanced(bool value) { loadBalanced_ = value; }

  // An enabled server that has not failed: the first in the list, or any of them at
  // random when LoadBalanced. Raises ESocketConnectionError when none is left.
  std::string GetComputerForGUID(const std::string& guid);
  std::string GetComputerForProgID(const std::string& progID);
  // The port listed for the computer (0 when none is listed).
  int GetPortForComputer(const std::string& computerName) const;
  // A failed connection rules the computer out until it succeeds again.
  void SetConnectStatus(const std::string& computerName, bool success);

 private:
  std::string PickComputer();

  std::vector<TServerItem> servers_;
  bool loadBalanced_ = false;
  std::minstd_rand random_;
};

class TRemoteSession;

class TSocketConnection : public TComponent {
  KXBR_CLASS(TSocketConnection, TComponent)

 public:
  explicit TSocketConnection(TComponent* owner);
  ~TSocketConnection() override;

  // Address is meant for an IP address and Host for a name, but either may hold both
  // kinds (a configured "localhost" works). Address wins when both are set.
  const std::string& Address() const { return address_; }
  void SetAddress(const std::string& value) { address_ = value; }
  const std::string& Host() const { return host_; }
  void SetHost(const std::string& value) { host_ = value; }
  int Port() const { return port_; }
  void SetPort(int value) { port_ = value; }
  // The ProgID of the object created on the server.
  const std::string& ServerName() const { return serverName_; }
  void SetServerName(const std::string& value) { serverName_ = value; }
  bool SupportCallbacks() const { return supportCallbacks_; }
  void SetSupportCallbacks(bool value) { supportCallbacks_ = value; }
  TSimpleObjectBroker* ObjectBroker() const { return broker_; }
  // The broker, when set, is asked for a server unless Address or Host names one.
  void SetObjectBroker(TSimpleObjectBroker* broker);
  // Time-outs in milliseconds (negative: none): reaching the server, and one call.
  int ConnectTimeout() const { return connectTimeoutMs_; }
  void SetConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
  int CallTimeout() const { return callTimeoutMs_; }
  void SetCallTimeout(int ms) { callTimeoutMs_ = ms; }
  size_t MaxFrameSize() const { return maxFrameSize_; }
  void SetMaxFrameSize(size_t bytes) { maxFrameSize_ = bytes; }

  // Connects and creates the server object; raises ESocketConnectionError when the
  // server cannot be reached and the server's own exception when it refuses the object.
  void Open();
  void Close();
  bool Connected() const;
  // While the component is read from a form resource the value is kept for Loaded.
  void SetConnected(bool value);

  // The server object; opens the connection first when it is closed.
  Variant AppServer();
  // Hands the connection an object created in process instead of a socket.
  void SetAppServer(const Variant& server);

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void OpenTo(const std::string& address, int port);

  std::string address_;
  std::string host_;
  int port_ = kDefaultSocketPort;
  std::string serverName_;
  bool supportCallbacks_ = true;
  TSimpleObjectBroker* broker_ = nullptr;
  int connectTimeoutMs_ = 10000;
  int callTimeoutMs_ = 120000;
  size_t maxFrameSize_ = kDefaultMaxFrameSize;
  std::shared_ptr<TRemoteSession> session_;
  Variant local_;
  bool streamedConnected_ = false;
};

// The rows a provider of the server object exports ("pvdConSave"): a two-dimensional
// array, row 0 the column names, rows 1.. the records. Works on any AppServer.
Variant GetProviderRecords(const Variant& appServer, const std::string& providerName);
