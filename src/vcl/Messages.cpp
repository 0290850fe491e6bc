#include "Messages.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "SysUtils.h"

namespace {

// The window table and the queue of the one user-interface thread.
struct WindowTable {
  HWND next = 1;
  // shared_ptr: a procedure stays alive while it runs even if it releases its own handle.
  std::unordered_map<HWND, std::shared_ptr<TWndMethod>> windows;
  std::deque<std::pair<HWND, TMessage>> queue;
  std::map<std::string, UINT> registered;  // upper-cased name -> number
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

std::shared_ptr<TWndMethod> FindWindow(HWND handle) {
  auto& windows = Table().windows;
  const auto it = windows.find(handle);
  return it == windows.end() ? nullptr : it->second;
}

}  // namespace

HWND AllocateHWnd(TWndMethod method) {
  WindowTable& t = Table();
  const HWND handle = t.next++;
  t.windows.emplace(handle, std::make_shared<TWndMethod>(std::move(method)));
  return handle;
}

void DeallocateHWnd(HWND handle) {
  WindowTable& t = Table();
  t.windows.erase(handle);
  std::erase_if(t.queue, [handle](const auto& entry) { return entry.first == handle; });
}

bool IsWindow(HWND handle) {
  return FindWindow(handle) != nullptr;
}

namespace {
HWND foregroundWindow = 0;
}  // namespace

bool SetForegroundWindow(HWND handle) {
  if (!IsWindow(handle)) return false;
  foregroundWindow = handle;
  return true;
}

HWND GetForegroundWindow() {
  return IsWindow(foregroundWindow) ? foregroundWindow : 0;
}

LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto method = FindWindow(handle);
  if (!method || !*method) return 0;
  TMessage message{msg, wParam, lParam, 0};
  (*method)(message);
  return message.Result;
}

bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(handle)) return false;
  Table().queue.emplace_back(handle, TMessage{msg, wParam, lParam, 0});
  return true;
}

bool DispatchNextMessage() {
  auto& queue = Table().queue;
  if (queue.empty()) return false;
  const auto [handle, message] = queue.front();
  queue.pop_front();
  SendMessage(handle, message.Msg, message.WParam, message.LParam);
  return true;
}

void ProcessPostedMessages() {
  while (DispatchNextMessage()) {
  }
}

void ClearMessageQueue() {
  Table().queue.clear();
}

int PostedMessageCount() {
  return static_cast<int>(Table().queue.size());
}

UINT RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  auto& registered = Table().registered;
  const std::string key = UpperCase(name);
  if (const auto it = registered.find(key); it != registered.end()) return it->second;
  const UINT number = 0xC000 + static_cast<UINT>(registered.size());
  if (number > 0xFFFF) return 0;
  registered.emplace(key, number);
  return number;
}
