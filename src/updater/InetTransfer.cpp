#include "updater/InetTransfer.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Http.h"
#include "platform/MessagePump.h"
#include "platform/WinText.h"

namespace tmr {

struct InetTransfer::State {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  std::atomic<bool> busy{false};
  std::atomic<bool> closed{false};
  std::atomic<bool> replied{false};
  std::mutex mutex;              // guards the handles against Cancel from the window thread
  std::vector<uint8_t> chunk;    // filled by the worker
  std::vector<uint8_t> pending;  // read but not yet handed out
  size_t pendingAt = 0;
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set when a step ends

  void CloseAll() {
    std::lock_guard lock(mutex);
    if (closed.exchange(true)) return;
    // Closing the session ends every handle under it and wakes a blocked
    // call; WinINet keeps the objects alive until such a call returns.
    if (request) InternetCloseHandle(request);
    if (connection) InternetCloseHandle(connection);
    if (session) InternetCloseHandle(session);
  }
  ~State() {
    CloseAll();
    if (finished) CloseHandle(finished);
  }
};

namespace {

// Runs work on a detached worker that keeps the state alive.
void StartWorker(const std::shared_ptr<InetTransfer::State>& state, std::function<void()> work) {
  state->busy = true;
  ResetEvent(state->finished);
  std::thread([state, work = std::move(work)] {
    work();
    state->busy = false;
    SetEvent(state->finished);
  }).detach();
}

// Lets messages run until the step ends (or the transfer is abandoned).
void WaitPumping(const std::shared_ptr<InetTransfer::State>& state) {
  while (state->busy && !state->closed) {
    MsgWaitForMultipleObjects(1, &state->finished, FALSE, 100, QS_ALLINPUT);
    PumpPendingMessages();
  }
}

}  // namespace

InetTransfer::InetTransfer() : state_(std::make_shared<State>()), timeoutMs_(60000) {}

InetTransfer::~InetTransfer() { Cancel(); }

bool InetTransfer::Start(const std::string& url, const std::string& userName, const std::string& password,
                         const std::string& extraHeaders) {
  Cancel();
  state_ = std::make_shared<State>();
  std::optional<HttpUrl> parts = CrackHttpUrl(url);
  if (!parts || parts->secure) return false;

  auto state = state_;
  std::wstring hostName = parts->host;
  std::wstring object = parts->object;
  std::wstring user = Widen(userName);
  std::wstring pass = Widen(password);
  std::wstring headers = Widen(extraHeaders);
  INTERNET_PORT port = parts->port;
  DWORD timeout = timeoutMs_;
  StartWorker(state, [=] {
    {
      std::lock_guard lock(state->mutex);
      if (state->closed) return;
      state->session = InternetOpenW(L"Tracemere Updater", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
      if (!state->session) return;
      SetInternetTimeouts(state->session, timeout);
      state->connection =
          InternetConnectW(state->session, hostName.c_str(), port, user.empty() ? nullptr : user.c_str(),
                           pass.empty() ? nullptr : pass.c_str(), INTERNET_SERVICE_HTTP, 0, 0);
      if (!state->connection) return;
      state->request = HttpOpenRequestW(state->connection, L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
      if (!state->request) return;
      SetInternetTimeouts(state->request, timeout);
    }
    if (HttpSendRequestW(state->request, headers.empty() ? nullptr : headers.c_str(),
                         headers.empty() ? 0 : static_cast<DWORD>(-1), nullptr, 0)) {
      state->replied = true;
    }
  });
  return true;
}

bool InetTransfer::Running() const { return state_->busy; }

void InetTransfer::WaitWhileRunning(uint32_t ms) {
  if (!state_->busy) return;
  MsgWaitForMultipleObjects(1, &state_->finished, FALSE, ms, QS_ALLINPUT);
  PumpPendingMessages();
}

bool InetTransfer::HasReply() const { return !state_->busy && state_->replied && !state_->closed; }

std::string InetTransfer::HeaderLines() const {
  if (!HasReply()) return "";
  std::lock_guard lock(state_->mutex);
  DWORD size = 0;
  HttpQueryInfoW(state_->request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
  if (size == 0) return "";
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (!HttpQueryInfoW(state_->request, HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &size, nullptr)) return "";
  text.resize(size / sizeof(wchar_t));
  return Narrow(text);
}

std::string InetTransfer::HeaderValue(const std::string& name) const {
  if (!HasReply()) return "";
  std::lock_guard lock(state_->mutex);
  std::wstring buffer = Widen(name);
  buffer.resize(std::max<size_t>(buffer.size() + 1, 256), L'\0');
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(state_->request, HTTP_QUERY_CUSTOM, buffer.data(), &size, nullptr)) return "";
  buffer.resize(size / sizeof(wchar_t));
  return Narrow(buffer);
}

std::vector<uint8_t> InetTransfer::ReadChunk(size_t size) {
  if (!HasReply() || size == 0) return {};
  auto state = state_;
  if (state->pending.empty()) {
    // The network is read in larger blocks; the caller still gets chunks of
    // the size it asks for.
    StartWorker(state, [state] {
      std::vector<uint8_t> buffer(64 * 1024);
      DWORD read = 0;
      if (!state->closed && InternetReadFile(state->request, buffer.data(), static_cast<DWORD>(buffer.size()), &read)) {
        buffer.resize(read);
        state->chunk = std::move(buffer);
      }
    });
    WaitPumping(state);
    if (state->busy) return {};  // cancelled while waiting
    state->pending = std::move(state->chunk);
    state->chunk.clear();
    state->pendingAt = 0;
  }
  size_t take = std::min(size, state->pending.size() - state->pendingAt);
  std::vector<uint8_t> piece(state->pending.begin() + static_cast<long>(state->pendingAt),
                             state->pending.begin() + static_cast<long>(state->pendingAt + take));
  state->pendingAt += take;
  if (state->pendingAt >= state->pending.size()) {
    state->pending.clear();
    state->pendingAt = 0;
  }
  return piece;
}

void InetTransfer::Cancel() {
  if (state_) state_->CloseAll();
}

}  // namespace tmr
